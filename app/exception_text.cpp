// SPDX-License-Identifier: MIT
#include "exception_text.h"

namespace kwirl {

std::string exceptionBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.')) {
        return message + ".";
    }
    return message;
}

std::string currentExceptionMessage() {
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return {};
    }
}

}  // namespace kwirl
