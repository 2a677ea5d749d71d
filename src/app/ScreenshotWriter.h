// Writes the scene as a PNG picture (8-bit RGB, no alpha): zunoplay --screenshot.
#pragma once

#include <string>

#include "platform/TSceneBuffer.h"

namespace zuno {

// Writes to a temporary file beside path and renames it over path, so a failed
// write leaves no file behind. EZunoError when the file cannot be written or
// the scene is empty. path in UTF-8.
void                    writeScreenshotPng(const TSceneBuffer& scene, const std::string& path);

} // namespace zuno
