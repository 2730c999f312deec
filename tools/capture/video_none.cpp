// The child processes behind --video, for a build that cannot start other
// programs (the web build's capture): --video is refused while the
// options are read, so nothing below is reached in a run.
#include <cerrno>

#include "video.hpp"

bool CAPTUREMakesVideos() { return false; }

std::string CAPTUREFindFfmpeg(std::string*) {
  return "--video is not available in this build: write --raw frames and a --wav file and join them with ffmpeg";
}

bool VIDEOOpenScratch(VIDEOScratch*) {
  errno = ENOSYS;
  return false;
}

void VIDEOCloseScratch(VIDEOScratch*) {}

bool VIDEOPipe(int[2]) {
  errno = ENOSYS;
  return false;
}

std::string VIDEOOutputName(const OUTFILE& file) { return file.part; }

VIDEOChild VIDEOStart(const std::string&, const std::vector<std::string>&, const VIDEOStreams&) {
  errno = ENOSYS;
  return VIDEONoChild;
}

int VIDEOWait(VIDEOChild) { return -1; }

void VIDEOKill(VIDEOChild) {}
