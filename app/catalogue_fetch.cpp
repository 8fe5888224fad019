// SPDX-License-Identifier: MIT
#define G_LOG_DOMAIN "kwirl"
#include "catalogue_fetch.h"

#include <glib.h>

#include <algorithm>
#include <utility>

#include "NMHttp.h"
#include "ascii.h"
#include "exception_text.h"
#include "guard.h"
#include "portal_host.h"
#include "site_of_address.h"
#include "thread_timer.h"
#include "url_parts.h"

namespace kwirl {

namespace {

// A server as the HTTP client connects to it: its host in lower case, its port, and whether over TLS.
struct Server {
    std::string host;
    int port;
    bool secure;
};
Server serverOf(const std::string& address) {
    const UrlParts parts = parseUrlParts(address, {}, 80);
    return {lowerAscii(parts.host), parts.port, parts.secure};
}

// A redirect goes on only to the server asked or to the portal host's, port
// and all, or to either host over TLS where it was asked in clear text: a
// portal that moved to https.
TRedirectCheck onlyTo(const std::string& address, const std::string& pagesHost) {
    return [servers = std::vector<Server>{serverOf(address), serverOf(portalSchemePrefix() + pagesHost + "/")}](
               const std::string& host, int port, bool secure) {
        return std::ranges::any_of(servers, [&](const Server& server) {
            if (server.host != lowerAscii(host)) return false;
            return (server.port == port && server.secure == secure) || (secure && !server.secure);
        });
    };
}

// The entries whose address is on the server asked or on the portal host, by
// the host's name (the portal's pages are its own on any port, either scheme);
// an address whose host cannot be read is on neither.
std::vector<CatalogueEntry> onPortalHost(std::vector<CatalogueEntry> entries, const std::string& address,
                                         const std::string& pagesHost) {
    const std::string hosts[] = {hostOfAddress(address), hostOfAddress(portalSchemePrefix() + pagesHost + "/")};
    std::erase_if(entries, [&hosts](const CatalogueEntry& entry) {
        const std::string host = hostOfAddress(entry.address);
        return host.empty() || std::ranges::find(hosts, host) == std::end(hosts);
    });
    // A portal reached over TLS is never left for clear text (its cookie, the
    // login among them, would go along): an http entry goes over https.
    if (portalScheme() == "https") {
        for (CatalogueEntry& entry : entries) {
            if (lowerAscii(entry.address.substr(0, 7)) == "http://")
                entry.address = "https://" + entry.address.substr(7);
        }
    }
    return entries;
}

}  // namespace

CatalogueFetch fetchCatalogue(TNMHTTP& http, const std::string& address, const CatalogueBounds& bounds,
                              const std::string& pagesHost) noexcept {
    CatalogueFetch fetched;
    try {
        // Bounds, with the component's own means: a time-out for each wait, an
        // abort when the whole fetch runs too long or the body grows too large.
        TThreadTimer deadline;
        deadline.SetEnabled(false);
        deadline.SetInterval(bounds.deadlineMs);
        deadline.SetOnTimer([&http](TThreadTimer* self) {
            self->SetEnabled(false);
            http.Abort();
        });
        deadline.SetEnabled(true);
        http.TimeOut = bounds.waitMs;
        http.OnPacketRecvd = [&http, &bounds](TPowersock*) {
            if (http.BytesReceived > bounds.mostBytes) http.Abort();
        };
        http.RedirectAllowed = onlyTo(address, pagesHost);

        http.InputFileMode = false;
        http.Get(address);
        fetched.header = http.Header;
        fetched.text = untilFirstNul(http.Body);
        fetched.loaded = !fetched.text.empty();
        if (fetched.loaded) {
            const auto entries = parseCataloguePage(fetched.text);
            fetched.entries = onPortalHost(entries, address, pagesHost);
            if (const auto dropped = entries.size() - fetched.entries.size(); dropped > 0) {
                g_debug("%zu entries of the library catalogue dropped: not on the portal's host", dropped);
            }
        }
    } catch (...) {
        logSwallowedFailure("fetching the library catalogue");
        try {
            fetched.failure = currentExceptionMessage();
        } catch (...) {
        }
        fetched.loaded = false;
    }
    http.OnPacketRecvd = nullptr;
    http.RedirectAllowed = nullptr;
    return fetched;
}

}  // namespace kwirl
