// SPDX-License-Identifier: MIT
// A download's name is a suggestion of the server's: never a path, never empty.

#include <glib.h>
#include <gtest/gtest.h>

#include "download_files.h"

namespace kwirl {
namespace {

// `count` replacement characters, U+FFFD, in UTF-8.
std::string replaced(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "\xef\xbf\xbd";
    return text;
}

TEST(DownloadFiles, TheSuggestedNameIsOnlyEverAFileName) {
    const std::string longName = std::string(300, 'a') + ".png";
    const std::string longUtf8 = std::string(199, 'a') + "\xc3\xa9\xc3\xa9";  // "é" across the cut
    const struct {
        std::string suggested, offered;
    } cases[] = {
        {"pazzle-puzzle-1-solved.png", "pazzle-puzzle-1-solved.png"},
        {"../../.bashrc", ".bashrc"},
        {"/etc/passwd", "passwd"},
        {"..\\..\\win.ini", "win.ini"},
        {"a\nb\tc\x7f.png", "abc.png"},
        {"  spaced .png  ", "spaced .png"},
        {"", "download"},
        {"..", "download"},
        {"dir/", "download"},
        {" ", "download"},
        {longName, std::string(196, 'a') + ".png"},
        {longUtf8, std::string(199, 'a')},
        // Bytes that only look like parts of characters, and names that are dots once cut.
        {std::string(300, '\x80'), replaced(66)},
        {"." + std::string(300, '\x80'), "." + replaced(66)},
        {".." + std::string(300, '\xbf'), ".." + replaced(66)},
        {"a\xff.png", "a" + replaced(1) + ".png"},
        {std::string(250, '.') + std::string(26, 'x'), "download"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(downloadFileName(c.suggested), c.offered) << c.suggested;
        EXPECT_LE(downloadFileName(c.suggested).size(), kLongestDownloadName);
        EXPECT_TRUE(g_utf8_validate(downloadFileName(c.suggested).c_str(), -1, nullptr)) << c.suggested;
    }
}

TEST(DownloadFiles, AFailureIsToldAndADroppedDownloadIsNot) {
    EXPECT_EQ(downloadFailureText(DownloadFailure::DroppedByPerson, "cancelled"), "");
    EXPECT_NE(downloadFailureText(DownloadFailure::Destination, "").find("could not be written"), std::string::npos);
    EXPECT_NE(downloadFailureText(DownloadFailure::Network, "Connection reset").find("Connection reset"),
              std::string::npos);
}

}  // namespace
}  // namespace kwirl
