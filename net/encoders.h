// SPDX-License-Identifier: MIT
#pragma once
// The two encoders of the HTTP client: form data and Basic credentials.

#include <string>

namespace kwirl {

// Keeps 0-9, A-Z and a-z, writes a blank as "+", and every other byte as "%"
// with two lower-case hexadecimal digits ("=" and "&" included).
std::string urlEncode(const std::string& data);

// Standard Base64 with "=" padding, as one line however long the input.
std::string base64Encode(const std::string& bytes);

}  // namespace kwirl
