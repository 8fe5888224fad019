// SPDX-License-Identifier: MIT
#pragma once
// The engine's network processes of this client, each watched until it ends.
// The engine says nothing when one dies under a download that waits for its
// place (an out-of-memory kill, say), and a call on that download then ends
// the client: the end of the process is all there is to go by.

#include <glib.h>

#include <functional>
#include <vector>

namespace kwirl {

class TNetworkProcessWatch final {
public:
    explicit TNetworkProcessWatch(std::function<void(int pid)> ended);
    ~TNetworkProcessWatch();
    TNetworkProcessWatch(const TNetworkProcessWatch&) = delete;
    TNetworkProcessWatch& operator=(const TNetworkProcessWatch&) = delete;

    // The network process running now, watched from here on; 0 when there is
    // none to be found or more than one (or the system cannot watch one).
    int current();
    // Tells now of those that have ended or are ending, which the loop would
    // tell a moment later: asked before a call on the engine that must not
    // reach a dead one.
    void noticeEnded();

private:
    struct Watched {
        int pid = 0;
        int fd = -1;  // the process's own descriptor: readable once it has ended
        guint source = 0;
    };
    static gboolean onEnded(gint fd, GIOCondition, gpointer self);

    std::function<void(int)> ended_;
    std::vector<Watched> watched_;
};

}  // namespace kwirl
