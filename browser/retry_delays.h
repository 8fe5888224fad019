// SPDX-License-Identifier: MIT
#pragma once
// How long to wait before each new attempt at a page that could not be
// loaded: short at first, then longer, so that a portal that is away for a
// while is not asked again and again.

namespace kwirl {

class RetryDelays {
public:
    static constexpr unsigned kFirstMs = 2000;
    static constexpr unsigned kLongestMs = 60000;

    // The delay before the next attempt: 2 s, 4 s, 8 s ... at most 60 s.
    unsigned next();
    // The next attempt is a first one again.
    void reset() { nextMs_ = kFirstMs; }

private:
    unsigned nextMs_ = kFirstMs;
};

}  // namespace kwirl
