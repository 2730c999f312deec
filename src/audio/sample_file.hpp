// The raw PCM file reader on a file the caller has opened (a path on disk,
// or a stream over memory): SAMPLERead opens the path and calls it.
#pragma once
#include <cstdio>

#include "audio/sample.hpp"

// Reads raw PCM from the file's current position to its end under the same
// format arguments as SAMPLERead; the caller closes the file. Null
// (reported) on failure.
SAMPLE* SAMPLEReadFile(FILE* file, int width, char order, char sign);
