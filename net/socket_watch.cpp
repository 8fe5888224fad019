// SPDX-License-Identifier: MIT
#include "socket_watch.h"

#include <glib-unix.h>
#include <sys/socket.h>

#include <cerrno>

namespace kwirl {

namespace {
struct WatchSource {
    GSource base;
};
gboolean dispatchWatch(GSource* source, GSourceFunc callback, gpointer data) {
    (void)source;
    return callback ? callback(data) : G_SOURCE_CONTINUE;
}

// The watch's source is ready only when its descriptor is: no prepare or check of its own.
constexpr GSourceFuncs kWatchFuncs = {nullptr, nullptr, &dispatchWatch, nullptr, nullptr, nullptr};
}  // namespace

TSocketWatch::TSocketWatch(int fd, std::function<void(Event, int)> notify) : fd_(fd), notify_(std::move(notify)) {
    // GLib takes the functions through a pointer to change, but only reads them.
    source_ = g_source_new(const_cast<GSourceFuncs*>(&kWatchFuncs), sizeof(WatchSource));
    g_source_set_callback(
        source_,
        [](gpointer self) -> gboolean {
            auto* watch = static_cast<TSocketWatch*>(self);
            if (!watch->tag_) return G_SOURCE_CONTINUE;
            const GIOCondition ready = g_source_query_unix_fd(watch->source_, watch->tag_);
            return dispatch(watch->fd_, ready, self);
        },
        this, nullptr);
    g_source_attach(source_, nullptr);
    update();
}

TSocketWatch::~TSocketWatch() {
    g_source_destroy(source_);
    g_source_unref(source_);
}

void TSocketWatch::rearmRead() {
    if (readArmed_) return;
    readArmed_ = true;
    update();
}

void TSocketWatch::expectConnect() {
    connecting_ = true;
    update();
}

void TSocketWatch::expectWritable() {
    writeWanted_ = true;
    update();
}

void TSocketWatch::update() {
    int events = 0;
    if (readArmed_) events |= G_IO_IN | G_IO_HUP | G_IO_ERR;
    if (connecting_ || writeWanted_) events |= G_IO_OUT | G_IO_ERR | G_IO_HUP;
    // A socket that is closed or failed reports itself ready for ever, whatever
    // is asked: with nothing wanted it is taken out of the poll altogether.
    if (events == 0) {
        if (tag_) g_source_remove_unix_fd(source_, tag_);
        tag_ = nullptr;
    } else if (tag_) {
        g_source_modify_unix_fd(source_, tag_, static_cast<GIOCondition>(events));
    } else {
        tag_ = g_source_add_unix_fd(source_, fd_, static_cast<GIOCondition>(events));
    }
}

gboolean TSocketWatch::dispatch(gint, GIOCondition ready, gpointer self) {
    auto* watch = static_cast<TSocketWatch*>(self);
    if (watch->connecting_ && (ready & (G_IO_OUT | G_IO_ERR | G_IO_HUP))) {
        watch->connecting_ = false;
        watch->update();
        // The handler may close the socket and with it this watch: call a copy,
        // and touch nothing of the watch afterwards.
        const auto notify = watch->notify_;
        notify(Event::Connect, 0);
        return G_SOURCE_CONTINUE;
    }
    if (watch->writeWanted_ && (ready & (G_IO_OUT | G_IO_ERR | G_IO_HUP))) {
        watch->writeWanted_ = false;
        watch->update();
    }
    if (watch->readArmed_ && (ready & (G_IO_IN | G_IO_HUP | G_IO_ERR))) {
        watch->readArmed_ = false;
        watch->update();
        char probe;
        const auto peeked = recv(watch->fd_, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
        const int error = peeked < 0 && errno != EAGAIN && errno != EWOULDBLOCK ? errno : 0;
        const auto notify = watch->notify_;
        notify(peeked == 0 ? Event::Close : Event::Read, error);
    }
    return G_SOURCE_CONTINUE;
}

}  // namespace kwirl
