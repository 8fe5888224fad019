// SPDX-License-Identifier: MIT
#pragma once
// Building portal addresses. The client never edits an address in place: a
// new value for a parameter is appended, and the last occurrence counts.

#include <cstdint>
#include <string>
#include <string_view>

namespace kwirl {

// The portal's scheme ("http://" or "https://") + portal host + "/index.php": the home page.
std::string baseAddress();
// The base address with "?name=" + page name.
std::string pageAddress(std::string_view pageName);
// The library page the client opens at start-up.
std::string startPageAddress();
// The catalogue page, the one address built on the portal domain.
std::string catalogueAddress();

// `address` + "&" + key + "=" + value.
std::string appendParameter(const std::string& address, std::string_view key, const std::string& value);
// The decimal page offset of a 0-based page: pageIndex times 40, computed without overflow.
std::string offsetOfPage(std::int32_t pageIndex);
// `address` + "&n=" + the offset of the page.
std::string appendPageOffset(const std::string& address, std::int32_t pageIndex);
// A list view's address without a page offset ("=pz6m" or "=pz1d" and no
// "&n=") with the first page's offset appended, as a list view can be opened
// only with one; every other address as it is.
std::string withFirstPageOffset(const std::string& address);

}  // namespace kwirl
