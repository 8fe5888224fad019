// SPDX-License-Identifier: MIT
#include "web_address.h"

#include <glib.h>

namespace kwirl {

bool isWebAddress(const std::string& address) {
    if (address.empty() || address.size() > kLongestPageAddress || address.find('\0') != std::string::npos) {
        return false;
    }
    GUri* uri = g_uri_parse(address.c_str(), G_URI_FLAGS_ENCODED, nullptr);
    if (!uri) return false;
    const char* scheme = g_uri_get_scheme(uri);
    const char* host = g_uri_get_host(uri);
    const bool web = scheme && (g_ascii_strcasecmp(scheme, "http") == 0 || g_ascii_strcasecmp(scheme, "https") == 0) &&
                     host && *host;
    g_uri_unref(uri);
    return web;
}

}  // namespace kwirl
