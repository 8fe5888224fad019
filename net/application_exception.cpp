// SPDX-License-Identifier: MIT
#include "application_exception.h"

namespace kwirl {

namespace {
TApplicationExceptionHandler& hook() {
    static TApplicationExceptionHandler handler;
    return handler;
}
}  // namespace

void SetApplicationExceptionHandler(TApplicationExceptionHandler handler) { hook() = std::move(handler); }

void HandleApplicationException() noexcept {
    try {
        if (hook()) hook()(std::current_exception());
    } catch (...) {
        // The hook failed too: nothing is left to tell, and unwinding through
        // the main loop is no option.
    }
}

}  // namespace kwirl
