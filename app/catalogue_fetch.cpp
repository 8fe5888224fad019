// SPDX-License-Identifier: MIT
#include "catalogue_fetch.h"

#include "NMHttp.h"
#include "guard.h"
#include "thread_timer.h"

namespace kwirl {

CatalogueFetch fetchCatalogue(TNMHTTP& http, const std::string& address, const CatalogueBounds& bounds) noexcept {
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

        http.InputFileMode = false;
        http.Get(address);
        fetched.header = http.Header;
        fetched.text = untilFirstNul(http.Body);
        fetched.loaded = !fetched.text.empty();
        if (fetched.loaded) fetched.entries = parseCataloguePage(fetched.text);
    } catch (...) {
        logSwallowedFailure("fetching the library catalogue");
        fetched.loaded = false;
    }
    http.OnPacketRecvd = nullptr;
    return fetched;
}

}  // namespace kwirl
