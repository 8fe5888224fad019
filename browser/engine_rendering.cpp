// SPDX-License-Identifier: MIT
#include "engine_rendering.h"

#include <dirent.h>

#include <cstdlib>
#include <string_view>

namespace kwirl {

namespace {
constexpr std::string_view kRenderNodePrefix = "renderD";
}  // namespace

bool hasGpuRenderNode(const std::string& deviceFolder) {
    DIR* folder = opendir(deviceFolder.c_str());
    if (!folder) return false;
    bool found = false;
    while (const dirent* entry = readdir(folder)) {
        if (std::string_view(entry->d_name).starts_with(kRenderNodePrefix)) {
            found = true;
            break;
        }
    }
    closedir(folder);
    return found;
}

void chooseEngineRendering(const std::string& deviceFolder) {
    if (hasGpuRenderNode(deviceFolder)) return;
    // No compositing on GL, and no GL in the window's process to take the
    // web process's frames as DMA buffers.
    setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 0);
    setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", 0);
}

}  // namespace kwirl
