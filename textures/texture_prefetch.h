// Decoding ahead: worker threads read and decode the pictures, and build their mipmap levels, while
// the main thread makes the window and the OpenGL context; the loaders then only upload.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "textures/textures.h"

// Starts preparing the files on worker threads, in the order given (the order they will be asked
// for). Drops whatever an earlier start left untaken.
void StartTexturePrefetch(const std::vector<std::string>& fileNames);
// The prepared file, waiting for it if a worker is still on it; nothing when the file was not in
// the list or was taken already. Each file given once is handed out once.
std::optional<PreparedTexture> TakePrefetchedTexture(const char* fileName);
// Waits for the workers and drops what was not taken.
void StopTexturePrefetch();
