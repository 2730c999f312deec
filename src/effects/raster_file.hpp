// The colour table file reader on a file the caller has opened (a path on
// disk, or a stream over memory): RASTERLoad opens the path and calls it.
#pragma once
#include <cstdio>

#include "effects/raster.hpp"

// Reads a whole table from the file's current position; the file must end
// right after it. The caller closes the file. Null (reported) on failure.
RASTER* RASTERReadFile(std::FILE* file);
