// SPDX-License-Identifier: MIT
#pragma once
// Readiness of one socket as notifications on the main loop, in the manner of
// message-based sockets: a read (or close) notification is given once and not
// again until the socket has been read from, so unread data never makes the
// loop spin; a connect notification is given once when a connect completes.

#include <functional>
#include <glib.h>

namespace kwirl {

class TSocketWatch {
public:
    enum class Event { Read, Close, Connect };
    enum class Interest { Read, Write };

    // `notify` receives the event and, when looking at the socket found a
    // failure (a reset, say), its errno: the look consumed it, so it is passed on.
    TSocketWatch(int fd, std::function<void(Event, int error)> notify);
    ~TSocketWatch();
    TSocketWatch(const TSocketWatch&) = delete;
    TSocketWatch& operator=(const TSocketWatch&) = delete;

    // Once connected, and after every read: the next data or close is notified.
    void rearmRead();
    // While a connect is under way: its completion is notified once.
    void expectConnect();
    // Wake the main loop when the socket can be written to (one wake-up).
    void expectWritable();

private:
    void update();
    static gboolean dispatch(gint fd, GIOCondition condition, gpointer self);

    int fd_;
    std::function<void(Event, int)> notify_;
    GSource* source_ = nullptr;
    gpointer tag_ = nullptr;
    bool readArmed_ = false;  // armed once connected
    bool connecting_ = false;
    bool writeWanted_ = false;
};

}  // namespace kwirl
