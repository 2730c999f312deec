#include <cstdio>
#include <memory>
#include <stdexcept>

#include "writers.hpp"

namespace artgen {
namespace {

constexpr std::size_t CommentLength = 95;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openForWriting(const std::string& path) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) throw std::runtime_error("cannot create " + path);
  return file;
}

void writeAll(std::FILE* file, const std::string& path, const void* data, std::size_t size) {
  if (size != 0 && std::fwrite(data, 1, size, file) != size) throw std::runtime_error("cannot write " + path);
}

std::string header(const char* magic, int width, int height, const std::string& comment, bool maxval) {
  std::string text = std::string(magic) + "\n";
  if (!comment.empty()) text += commentLine(comment) + "\n";
  text += std::to_string(width) + " " + std::to_string(height) + "\n";
  if (maxval) text += "255\n";
  return text;
}

void finish(File file, const std::string& path) {
  if (std::fclose(file.release()) != 0) throw std::runtime_error("cannot close " + path);
}

}  // namespace

std::string commentLine(const std::string& text) {
  std::string line = "# " + text;
  if (line.size() > CommentLength - 2) throw std::runtime_error("comment too long: " + text);
  line += ' ';
  line.append(CommentLength - line.size(), '.');
  return line;
}

void writePBM(const std::string& path, const Bitmap& bits, const std::string& comment) {
  std::string data = header("P4", bits.width, bits.height, comment, false);
  const int rowBytes = (bits.width + 7) / 8;
  for (int y = 0; y < bits.height; ++y)
    for (int byte = 0; byte < rowBytes; ++byte) {
      unsigned value = 0;
      for (int bit = 0; bit < 8; ++bit) {
        const int x = byte * 8 + bit;
        if (x < bits.width && bits.at(x, y)) value |= 0x80u >> bit;
      }
      data.push_back(char(value));
    }
  File file = openForWriting(path);
  writeAll(file.get(), path, data.data(), data.size());
  finish(std::move(file), path);
}

void writePGM(const std::string& path, const Greymap& grey, const std::string& comment) {
  const std::string head = header("P5", grey.width, grey.height, comment, true);
  File file = openForWriting(path);
  writeAll(file.get(), path, head.data(), head.size());
  writeAll(file.get(), path, grey.pixels.data(), grey.pixels.size());
  finish(std::move(file), path);
}

void writePPM(const std::string& path, const Pixmap& colour, const std::string& comment) {
  std::string data = header("P6", colour.width, colour.height, comment, true);
  for (const Rgb& p : colour.pixels) {
    data.push_back(char(p.r));
    data.push_back(char(p.g));
    data.push_back(char(p.b));
  }
  File file = openForWriting(path);
  writeAll(file.get(), path, data.data(), data.size());
  finish(std::move(file), path);
}

Pixmap bitsAsColour(const Bitmap& bits, bool invert) {
  Pixmap out(bits.width, bits.height);
  for (std::size_t i = 0; i < bits.pixels.size(); ++i) {
    const bool lit = (bits.pixels[i] != 0) != invert;
    out.pixels[i] = lit ? Rgb{255, 255, 255} : Rgb{};
  }
  return out;
}

Pixmap greyAsColour(const Greymap& grey) {
  Pixmap out(grey.width, grey.height);
  for (std::size_t i = 0; i < grey.pixels.size(); ++i) {
    const std::uint8_t v = grey.pixels[i];
    out.pixels[i] = Rgb{v, v, v};
  }
  return out;
}

}  // namespace artgen
