// The PNM file reader on a file the caller has opened (a path on disk, or a
// stream over memory): IMGLoad opens the path and calls it.
#pragma once
#include <cstdio>

#include "image/img.hpp"

// Reads P1 to P6 from the file's current position, reading ahead of the
// image; the caller closes the file. Null (reported) on failure.
IMG* IMGReadFile(FILE* file);
