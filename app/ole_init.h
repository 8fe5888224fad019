// SPDX-License-Identifier: MIT
#pragma once
// The browser's host support is ready without any per-thread set-up on this
// platform; the call stays so that the order of the window's start-up steps
// (controls, host support, fields, catalogue) reads as it runs.

namespace kwirl {

inline void OleInitialize() {}

}  // namespace kwirl
