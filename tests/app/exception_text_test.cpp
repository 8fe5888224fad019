// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <stdexcept>

#include "exception_text.h"

namespace kwirl {
namespace {

TEST(ExceptionText, FullStopOnlyAfterCharactersSortingAfterIt) {
    EXPECT_EQ(exceptionBoxText("Connection Failed"), "Connection Failed.");
    EXPECT_EQ(exceptionBoxText("Done."), "Done.");
    EXPECT_EQ(exceptionBoxText("Really!"), "Really!");   // "!" sorts before "."
    EXPECT_EQ(exceptionBoxText("10061"), "10061.");
    EXPECT_EQ(exceptionBoxText(""), "");
}

TEST(ExceptionText, OnlyStandardExceptionsCarryAMessage) {
    const auto messageOf = [](auto thrower) {
        try {
            thrower();
        } catch (...) {
            return currentExceptionMessage();
        }
        return std::string("not thrown");
    };
    EXPECT_EQ(messageOf([] { throw std::runtime_error("Empty URL"); }), "Empty URL");
    EXPECT_EQ(messageOf([] { throw 42; }), "");
}

}  // namespace
}  // namespace kwirl
