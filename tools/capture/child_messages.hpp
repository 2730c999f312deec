// What the capture's child processes (ffmpeg, and the capture that plays
// the sound for a video) said when they failed, as one line for the user.
#pragma once
#include <string>

// The folder the unnamed temporaries go in: $TMPDIR, else /tmp.
std::string CAPTURETemporaryFolder();
// Why a temporary could not be made or written: a full folder is named.
std::string CAPTURETemporaryFailure(int error);

// The one line that says why a child failed, from what it wrote on its
// standard error and its exit status (minus the signal that ended it).
// A signal is the cause whenever there was one: ffmpeg catches the usual
// ones, says "received signal N" (at level info) and ends with status 255.
// Messages with a level tag ("[error] ...") count only at error level and
// above. `handed`, the descriptor name the child wrote the output through
// (/dev/fd/4), becomes `output`, the file's own name.
std::string CAPTUREChildReason(const std::string& messages, const std::string& program, int status,
                               const std::string& handed = "", const std::string& output = "");
