#pragma once
// How much memory a picture may take here: what the system has free and what the process's
// own limits (ulimit -v, ulimit -d) still allow, so that a size the machine cannot hold is
// refused before anything is drawn.
#include <cstdint>
#include <optional>

namespace render {

// The bytes the process can still take; nothing when no limit could be read.
std::optional<std::uint64_t> memoryAvailable();

// What drawing a raster picture of width x height takes: the image and the encoder's output.
std::uint64_t rasterPictureBytes(int width, int height);

}  // namespace render
