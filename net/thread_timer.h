// SPDX-License-Identifier: MIT
#pragma once
// A repeating timer on the main loop: fires OnTimer every Interval
// milliseconds while Enabled, Interval is not 0 and OnTimer is set. An
// exception from OnTimer goes to the application's exception handler
// (application_exception.h) and the timer goes on.

#include <functional>
#include <glib.h>

namespace kwirl {

class TThreadTimer {
public:
    using TNotifyEvent = std::function<void(TThreadTimer* Sender)>;

    TThreadTimer() = default;
    ~TThreadTimer();
    TThreadTimer(const TThreadTimer&) = delete;
    TThreadTimer& operator=(const TThreadTimer&) = delete;

    bool Enabled() const { return enabled_; }
    unsigned Interval() const { return interval_; }
    void SetEnabled(bool value);
    void SetInterval(unsigned value);
    void SetOnTimer(TNotifyEvent handler);

private:
    void rebuild();
    static gboolean tick(gpointer self);

    bool enabled_ = true;
    unsigned interval_ = 1000;
    TNotifyEvent onTimer_;
    guint source_ = 0;
};

}  // namespace kwirl
