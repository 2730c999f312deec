// The file side of the PNM reader: where the file's bytes end, and the
// buffer refill.
#include "image/pnm_reader.hpp"

#include <sys/stat.h>

#include <cstring>

namespace pnm {

// A regular file tells its size; any other stream that can seek (one over
// memory) is measured by seeking to its end and back.
FileSource::FileSource(FILE* file) : file_(file) {
  const off_t start = ftello(file);
  if (start < 0) return;
  struct stat info;
  if (fstat(fileno(file), &info) == 0) {
    if (S_ISREG(info.st_mode) && info.st_size >= start) size_ = static_cast<uint64_t>(info.st_size - start);
    return;
  }
  if (fseeko(file, 0, SEEK_END) == 0) {
    const off_t end = ftello(file);
    if (fseeko(file, start, SEEK_SET) == 0 && end >= start) size_ = static_cast<uint64_t>(end - start);
  }
}

bool FileSource::Refill(size_t n) {
  memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
  end_ -= pos_;
  pos_ = 0;
  if (buffer_.size() < n) buffer_.resize(std::max<size_t>(n, 1 << 12));
  while (end_ < n) {
    const size_t got = fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0) return false;
    end_ += got;
    readTotal_ += got;
  }
  return true;
}

}  // namespace pnm
