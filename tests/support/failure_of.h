// SPDX-License-Identifier: MIT
#pragma once
// The message of the exception an operation raises, or "no failure".

#include <exception>
#include <string>

namespace kwirl::test {

template <class Operation>
std::string failureOf(Operation operation) {
    try {
        operation();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no failure";
}

}  // namespace kwirl::test
