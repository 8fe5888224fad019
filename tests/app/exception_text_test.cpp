// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <glib.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "exception_text.h"
#include "guard.h"

namespace kwirl {
namespace {

TEST(ExceptionText, FullStopOnlyAfterCharactersSortingAfterIt) {
    EXPECT_EQ(exceptionBoxText("Connection Failed"), "Connection Failed.");
    EXPECT_EQ(exceptionBoxText("Done."), "Done.");
    EXPECT_EQ(exceptionBoxText("Really!"), "Really!");  // "!" sorts before "."
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

// A failure a guard drops goes nowhere near the user, but leaves a line in the
// debug log of the client's domain: what was being done and what failed.
TEST(ExceptionText, AGuardDropsAFailureButLogsItWithItsLabel) {
    std::vector<std::string> logged;
    const guint handler = g_log_set_handler(
        "kwirl", static_cast<GLogLevelFlags>(G_LOG_LEVEL_DEBUG),
        [](const gchar*, GLogLevelFlags, const gchar* message, gpointer lines) {
            static_cast<std::vector<std::string>*>(lines)->push_back(message);
        },
        &logged);
    bool after = false;
    swallowFailures("opening a fixed page", [] { throw std::runtime_error("10061:Connection refused"); });
    swallowFailures("paging the list", [] { throw 42; });
    swallowFailures("showing a load's progress", [&] { after = true; });
    g_log_remove_handler("kwirl", handler);
    EXPECT_TRUE(after);
    EXPECT_EQ(logged, (std::vector<std::string>{"failure dropped while opening a fixed page: 10061:Connection refused",
                                                "failure dropped while paging the list: (no message)"}));
}

}  // namespace
}  // namespace kwirl
