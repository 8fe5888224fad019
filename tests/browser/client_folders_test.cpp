// SPDX-License-Identifier: MIT
// The client's folders are the player's alone: made 0700, or narrowed to it,
// before the engine writes in them, and nothing above them is changed.

#include <gtest/gtest.h>
#include <glib.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "site_data.h"

namespace kwirl {
namespace {

namespace fs = std::filesystem;

unsigned modeOf(const fs::path& path) {
    struct stat status = {};
    return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

class ClientFolders : public ::testing::Test {
protected:
    void SetUp() override {
        gchar* made = g_dir_make_tmp("kwirl-folders-XXXXXX", nullptr);
        ASSERT_NE(made, nullptr);
        root = made;
        g_free(made);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(root, error);
    }
    // A folder made here with `mode`, its parent as well.
    fs::path folderAt(const std::string& name, unsigned mode) {
        const fs::path folder = root / name;
        fs::create_directories(folder);
        ::chmod(folder.parent_path().c_str(), 0755);
        ::chmod(folder.c_str(), mode);
        return folder;
    }
    fs::path root;
};

TEST_F(ClientFolders, EachIsMadeOrNarrowedTo0700AndItsParentKeepsItsMode) {
    struct Case {
        const char* what;
        std::optional<unsigned> before;  // none: not there
    } cases[] = {
        {"made fresh", std::nullopt}, {"there at 0755", 0755}, {"there at 0777, set-group-id", 02777},
        {"there at 0711", 0711},      {"there at 0700", 0700},
    };
    for (const auto& c : cases) {
        const fs::path parent = folderAt(std::string("base-") + std::to_string(&c - cases), 0755);
        const fs::path folder = parent / "kwirl";
        if (c.before) folderAt(fs::relative(folder, root), *c.before);
        EXPECT_NO_THROW(makePrivateFolder(folder)) << c.what;
        EXPECT_EQ(modeOf(folder), 0700u) << c.what;
        EXPECT_EQ(modeOf(parent), 0755u) << c.what;
    }
    // Base directories missing above it are made, and not open to others either.
    const fs::path deep = root / "missing" / "base" / "kwirl";
    makePrivateFolder(deep);
    EXPECT_EQ(modeOf(deep), 0700u);
    EXPECT_EQ(modeOf(deep.parent_path()) & 077u, 0u);
}

TEST_F(ClientFolders, ASymbolicLinkInTheFoldersPlaceIsAFailureAndWhatItNamesIsLeftAsItIs) {
    const fs::path target = folderAt("elsewhere", 0755);
    const fs::path link = folderAt("base", 0755) / "kwirl";
    fs::create_directory_symlink(target, link);
    EXPECT_THROW(makePrivateFolder(link), std::runtime_error);
    EXPECT_EQ(modeOf(target), 0755u);
}

TEST_F(ClientFolders, TheDataCacheAndStateFoldersAreMadePrivate) {
    const fs::path data = folderAt("data", 0755), cache = folderAt("cache", 0755), state = folderAt("state", 0755);
    fs::create_directory(cache / "kwirl");
    ::chmod((cache / "kwirl").c_str(), 0755);
    g_setenv("XDG_DATA_HOME", data.c_str(), TRUE);
    g_setenv("XDG_CACHE_HOME", cache.c_str(), TRUE);
    g_setenv("XDG_STATE_HOME", state.c_str(), TRUE);
    // GLib reads these once a process: this test runs in a process of its own.
    ASSERT_EQ(clientCacheFolder(), (cache / "kwirl").string());

    EXPECT_TRUE(makeClientFoldersPrivate().empty());
    for (const fs::path& base : {data, cache, state}) {
        EXPECT_EQ(modeOf(base / "kwirl"), 0700u) << base;
        EXPECT_EQ(modeOf(base), 0755u) << base;
    }
}

}  // namespace
}  // namespace kwirl
