// SPDX-License-Identifier: MIT
#include "progress_range.h"

namespace kwirl {

void ProgressRange::SetMin(std::int32_t value) {
    if (value > max_) throw EInvalidRange("Progress bar minimum above its maximum");
    min_ = value;
}

void ProgressRange::SetMax(std::int32_t value) {
    if (value < min_) throw EInvalidRange("Progress bar maximum below its minimum");
    max_ = value;
}

std::int32_t ProgressRange::filled(std::int32_t scale) const {
    if (position_ <= min_) return 0;
    if (position_ >= max_) return scale;
    const auto done = static_cast<std::int64_t>(position_) - min_;
    const auto span = static_cast<std::int64_t>(max_) - min_;
    return static_cast<std::int32_t>(done * scale / span);
}

}  // namespace kwirl
