// SPDX-License-Identifier: MIT
#pragma once
// Where an exception goes that a handler run by the main loop raised (a
// timer's handler): to the application's exception handler, which shows its
// message. The network code knows nothing of the GUI; the application sets
// the hook when it starts.

#include <exception>
#include <functional>

namespace kwirl {

using TApplicationExceptionHandler = std::function<void(std::exception_ptr failure)>;

// Sets the hook; an empty one (the initial state) drops such exceptions.
void SetApplicationExceptionHandler(TApplicationExceptionHandler handler);

// Passes the exception being handled to the hook. Call only inside a catch
// block; raises nothing, also when the hook does.
void HandleApplicationException() noexcept;

}  // namespace kwirl
