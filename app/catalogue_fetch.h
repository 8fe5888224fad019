// SPDX-License-Identifier: MIT
#pragma once
// The start-up fetch of the catalogue page. It never fails: whatever the portal
// does (no answer, an endless body, a dead host), it ends within a bound and
// the window goes on with the built-in library list.
//
// The catalogue is the portal's: the fetch follows a redirect only to the
// server it was sent to (the portal domain's) or to the portal host, and an
// entry whose address is on neither host is dropped. Whoever answers a plain
// HTTP request on the way can then neither fill the drop-down from another
// host nor have the view open another host's page.

#include <string>
#include <vector>

#include "catalogue_page.h"
#include "portal_host.h"

namespace kwirl {

class TNMHTTP;

struct CatalogueBounds {
    // The whole fetch ends within this time, whatever the portal does.
    unsigned deadlineMs = 10000;
    // Each wait (lookup, connect, each part of the reply) ends within this time.
    int waitMs = 5000;
    // A catalogue page is a few KiB; a body beyond this is not one.
    long long mostBytes = 4 << 20;
};

struct CatalogueFetch {
    bool loaded = false;  // the body was not empty and nothing failed
    std::string header;
    std::string text;  // the body up to its first NUL
    std::vector<CatalogueEntry> entries;
    std::string failure;  // what ended the fetch; empty when nothing failed
};

// `pagesHost` is the host (host[:port]) of the portal's pages.
CatalogueFetch fetchCatalogue(TNMHTTP& http, const std::string& address, const CatalogueBounds& bounds = {},
                              const std::string& pagesHost = portalHost()) noexcept;

}  // namespace kwirl
