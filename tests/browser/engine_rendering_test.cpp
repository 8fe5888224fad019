// SPDX-License-Identifier: MIT
// How the engine is told to draw: on the CPU when the machine has no render
// node, untouched when it has one or when the user chose already.

#include "engine_rendering.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace kwirl {
namespace {

class EngineRendering : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("kwirl-dri-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        for (const char* name : kVariables) {
            if (const char* value = std::getenv(name)) saved_[name] = value;
            unsetenv(name);
        }
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        for (const char* name : kVariables) {
            const auto found = saved_.find(name);
            if (found != saved_.end()) {
                setenv(name, found->second.c_str(), 1);
            } else {
                unsetenv(name);
            }
        }
    }
    void addDevice(const char* name) { std::ofstream(folder_ / name).put('\0'); }
    static std::string variable(const char* name) {
        const char* value = std::getenv(name);
        return value ? value : "(unset)";
    }

    static constexpr const char* kVariables[] = {"WEBKIT_DISABLE_COMPOSITING_MODE", "WEBKIT_DISABLE_DMABUF_RENDERER"};
    std::filesystem::path folder_;
    std::map<std::string, std::string> saved_;
};

TEST_F(EngineRendering, OnlyARenderNodeCountsAsAGpu) {
    EXPECT_FALSE(hasGpuRenderNode((folder_ / "missing").string()));
    EXPECT_FALSE(hasGpuRenderNode(folder_.string()));
    addDevice("card0");  // a display controller alone draws nothing
    EXPECT_FALSE(hasGpuRenderNode(folder_.string()));
    addDevice("renderD128");
    EXPECT_TRUE(hasGpuRenderNode(folder_.string()));
}

TEST_F(EngineRendering, WithoutAGpuPagesAreDrawnOnTheCpu) {
    chooseEngineRendering(folder_.string());
    EXPECT_EQ(variable("WEBKIT_DISABLE_COMPOSITING_MODE"), "1");
    EXPECT_EQ(variable("WEBKIT_DISABLE_DMABUF_RENDERER"), "1");
}

TEST_F(EngineRendering, AGpuIsLeftToTheEngine) {
    addDevice("renderD128");
    chooseEngineRendering(folder_.string());
    EXPECT_EQ(variable("WEBKIT_DISABLE_COMPOSITING_MODE"), "(unset)");
    EXPECT_EQ(variable("WEBKIT_DISABLE_DMABUF_RENDERER"), "(unset)");
}

TEST_F(EngineRendering, TheUsersOwnChoiceIsKept) {
    setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "0", 1);
    chooseEngineRendering(folder_.string());
    EXPECT_EQ(variable("WEBKIT_DISABLE_COMPOSITING_MODE"), "0");
    EXPECT_EQ(variable("WEBKIT_DISABLE_DMABUF_RENDERER"), "1");
}

}  // namespace
}  // namespace kwirl
