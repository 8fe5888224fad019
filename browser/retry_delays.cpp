// SPDX-License-Identifier: MIT
#include "retry_delays.h"

#include <algorithm>

namespace kwirl {

unsigned RetryDelays::next() {
    const unsigned delay = nextMs_;
    nextMs_ = std::min(kLongestMs, nextMs_ * 2);
    return delay;
}

}  // namespace kwirl
