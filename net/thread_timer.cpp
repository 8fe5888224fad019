// SPDX-License-Identifier: MIT
#include "thread_timer.h"

#include "application_exception.h"

namespace kwirl {

TThreadTimer::~TThreadTimer() {
    enabled_ = false;
    if (source_ != 0) g_source_remove(source_);
}

void TThreadTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    rebuild();
}

void TThreadTimer::SetInterval(unsigned value) {
    if (value == interval_) return;
    interval_ = value;
    rebuild();
}

void TThreadTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    rebuild();
}

void TThreadTimer::rebuild() {
    if (source_ != 0) {
        g_source_remove(source_);
        source_ = 0;
    }
    if (interval_ != 0 && enabled_ && onTimer_) source_ = g_timeout_add(interval_, &TThreadTimer::tick, this);
}

gboolean TThreadTimer::tick(gpointer self) {
    auto* timer = static_cast<TThreadTimer*>(self);
    const guint firing = timer->source_;
    try {
        if (timer->onTimer_) timer->onTimer_(timer);
    } catch (...) {
        // Shown by the application; it must not unwind through the main loop.
        HandleApplicationException();
    }
    // The handler may have rebuilt or stopped the timer; then this source is gone.
    if (timer->source_ != firing) return G_SOURCE_REMOVE;
    return G_SOURCE_CONTINUE;
}

}  // namespace kwirl
