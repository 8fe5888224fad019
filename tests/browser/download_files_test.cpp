// SPDX-License-Identifier: MIT
// A download's name is a suggestion of the server's: never a path, never empty.

#include <gtest/gtest.h>

#include "download_files.h"

namespace kwirl {
namespace {

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
    };
    for (const auto& c : cases) {
        EXPECT_EQ(downloadFileName(c.suggested), c.offered) << c.suggested;
        EXPECT_LE(downloadFileName(c.suggested).size(), kLongestDownloadName);
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
