// SPDX-License-Identifier: MIT
#include "engine_rendering.h"

#include <dirent.h>

#include <cstdlib>
#include <cstring>

namespace kwirl {

bool hasGpuRenderNode(const std::string& deviceFolder) {
    DIR* folder = opendir(deviceFolder.c_str());
    if (!folder) return false;
    bool found = false;
    while (const dirent* entry = readdir(folder)) {
        if (std::strncmp(entry->d_name, "renderD", 7) == 0) {
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
