// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace kwirl {

// Whether the folder of direct-rendering devices holds a render node
// ("renderD…"), i.e. whether the engine could draw with a GPU.
bool hasGpuRenderNode(const std::string& deviceFolder = "/dev/dri");

// Chooses how the engine draws, before the toolkit or the engine starts (the
// engine reads its environment once, and setting it later would race with
// the toolkit's threads). Without a GPU the engine's GPU path runs on software
// GL in the window's process and in the web process alike, for about 70 MiB
// and a slower start, so pages are drawn on the CPU instead. Pages can do all
// they could (canvas, WebGL, 3-D transforms). A setting the user made in the
// environment is kept.
void chooseEngineRendering(const std::string& deviceFolder = "/dev/dri");

}  // namespace kwirl
