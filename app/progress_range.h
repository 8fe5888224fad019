// SPDX-License-Identifier: MIT
#pragma once
// Minimum, maximum and position of a progress bar, kept as the window's
// handlers set them. A position outside the range is kept as given and shows
// as the nearest end; a maximum below the minimum is refused.

#include <cstdint>
#include <stdexcept>

namespace kwirl {

class EInvalidRange : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

class ProgressRange {
public:
    std::int32_t Min() const { return min_; }
    std::int32_t Max() const { return max_; }
    std::int32_t Position() const { return position_; }

    // Raise EInvalidRange when the new value would put the maximum below the minimum.
    void SetMin(std::int32_t value);
    void SetMax(std::int32_t value);
    void SetPosition(std::int32_t value) { position_ = value; }

    // How much of the bar is filled, 0 to `scale`.
    std::int32_t filled(std::int32_t scale) const;

private:
    std::int32_t min_ = 0;
    std::int32_t max_ = 100;
    std::int32_t position_ = 0;
};

}  // namespace kwirl
