// The video for builds that cannot start ffmpeg as a child process (the
// web build's capture, which cannot start programs, and the Windows build,
// for now): --video is refused before anything is written,
// with one line and status 2, so the other calls are never reached.
#include "video.hpp"

std::string CAPTUREFindFfmpeg(std::string*) {
  return "--video is not available in this build: write --raw frames and a --wav file and join them with ffmpeg";
}

std::string CAPTUREVideoOpen(CAPTUREVideo*, const CAPTUREOptions&, const std::string&, const std::string&) {
  return "--video is not available in this build";
}

std::string CAPTUREVideoWrite(CAPTUREVideo*, const uint32_t*) { return "--video is not available in this build"; }

std::string CAPTUREVideoClose(CAPTUREVideo*) { return "--video is not available in this build"; }

void CAPTUREVideoDiscard(CAPTUREVideo*) {}
