// Draws the program's icon from its own shaded balls: three of them in a
// triangle on a clear ground, written as RGBA PNG files of the usual icon
// sizes: icon OUTDIR writes OUTDIR/<size>/torvelin.png, and the same
// pictures in one Windows icon file, OUTDIR/torvelin.ico.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "driver/pictures.hpp"
#include "image/img.hpp"
#include "pngout.hpp"

namespace {

constexpr int kBall = 32;     // side of one ball cell in the picture
constexpr int kCanvas = 64;   // the icon drawn at one pixel per ball pixel
constexpr int kMaster = 256;  // the canvas enlarged, from which sizes are taken
constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

// Which balls, and where their cells go on the canvas.
struct Placement {
  int ball;  // 0 red, 1 orange, 2 yellow, 3 green, 4 teal, 5 blue, 6 purple
  int x;
  int y;
};
constexpr Placement kPlacements[] = {{5, 0, 30}, {3, 32, 30}, {0, 16, 2}};

struct Rgba {
  double r = 0, g = 0, b = 0, a = 0;  // premultiplied
};
using Picture = std::vector<Rgba>;

// Black around a ball is its key: it stays clear.
Picture DrawCanvas(const IMG* balls) {
  Picture canvas(kCanvas * kCanvas);
  for (const Placement& p : kPlacements)
    for (int y = 0; y < kBall; ++y)
      for (int x = 0; x < kBall; ++x) {
        const uint32_t word = balls->pixels[(p.ball * kBall + y) * balls->width + x];
        if (word == 0) continue;
        Rgba& out = canvas[(p.y + y) * kCanvas + p.x + x];
        out = {(word >> 16 & 255) / 255.0, (word >> 8 & 255) / 255.0, (word & 255) / 255.0, 1.0};
      }
  return canvas;
}

// Area average: each output pixel is the mean of the master pixels it
// covers, so small sizes keep the balls' shading instead of dropping rows.
Picture Shrink(const Picture& master, int side) {
  Picture out(static_cast<size_t>(side) * side);
  const double step = static_cast<double>(kMaster) / side;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      Rgba sum;
      double weight = 0;
      for (int my = static_cast<int>(y * step); my < (y + 1) * step && my < kMaster; ++my)
        for (int mx = static_cast<int>(x * step); mx < (x + 1) * step && mx < kMaster; ++mx) {
          const double wy = std::min<double>(my + 1, (y + 1) * step) - std::max<double>(my, y * step);
          const double wx = std::min<double>(mx + 1, (x + 1) * step) - std::max<double>(mx, x * step);
          const Rgba& m = master[static_cast<size_t>(my) * kMaster + mx];
          sum.r += m.r * wx * wy;
          sum.g += m.g * wx * wy;
          sum.b += m.b * wx * wy;
          sum.a += m.a * wx * wy;
          weight += wx * wy;
        }
      out[static_cast<size_t>(y) * side + x] = {sum.r / weight, sum.g / weight, sum.b / weight, sum.a / weight};
    }
  return out;
}

uint8_t Byte(double v) { return static_cast<uint8_t>(v <= 0 ? 0 : v >= 1 ? 255 : v * 255 + 0.5); }

bool WritePng(const std::string& path, const Picture& picture, int side) {
  std::vector<uint8_t> rgba;
  for (const Rgba& p : picture) {
    const double a = p.a;
    rgba.push_back(Byte(a > 0 ? p.r / a : 0));
    rgba.push_back(Byte(a > 0 ? p.g / a : 0));
    rgba.push_back(Byte(a > 0 ? p.b / a : 0));
    rgba.push_back(Byte(a));
  }
  const std::string error = PNGOUTWrite(path, rgba.data(), side, side, 4);
  if (!error.empty()) fprintf(stderr, "icon: %s\n", error.c_str());
  return error.empty();
}

void PutLittleEndian(std::string* out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>(value >> (8 * i)));
}

// An icon file whose pictures are the PNG files themselves, as Windows
// reads them: a directory of 16-byte entries (side 0 meaning 256, 32 bits
// a pixel, length, offset), then the files back to back.
bool WriteIco(const std::string& path, const std::vector<std::string>& pngPaths) {
  std::vector<std::string> pngs;
  for (const std::string& png : pngPaths) {
    std::ifstream in(png, std::ios::binary);
    pngs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in) {
      fprintf(stderr, "icon: cannot read %s back\n", png.c_str());
      return false;
    }
  }
  std::string ico;
  PutLittleEndian(&ico, 0, 2);  // reserved
  PutLittleEndian(&ico, 1, 2);  // an icon, not a cursor
  PutLittleEndian(&ico, static_cast<uint32_t>(pngs.size()), 2);
  uint32_t offset = static_cast<uint32_t>(6 + 16 * pngs.size());
  for (size_t i = 0; i < pngs.size(); ++i) {
    const int side = kSizes[i] >= 256 ? 0 : kSizes[i];
    PutLittleEndian(&ico, static_cast<uint32_t>(side), 1);
    PutLittleEndian(&ico, static_cast<uint32_t>(side), 1);
    PutLittleEndian(&ico, 0, 2);   // no palette, reserved
    PutLittleEndian(&ico, 1, 2);   // planes
    PutLittleEndian(&ico, 32, 2);  // bits a pixel
    PutLittleEndian(&ico, static_cast<uint32_t>(pngs[i].size()), 4);
    PutLittleEndian(&ico, offset, 4);
    offset += static_cast<uint32_t>(pngs[i].size());
  }
  for (const std::string& png : pngs) ico += png;
  std::ofstream out(path, std::ios::binary);
  out.write(ico.data(), static_cast<std::streamsize>(ico.size()));
  if (!out.flush()) {
    fprintf(stderr, "icon: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: icon OUTDIR\n");
    return 2;
  }
  IMG* balls = IMGFromPNMBounded(TORVELINPictures[TORVELINPictureBobs], TORVELINPictureSizes[TORVELINPictureBobs]);
  if (balls == nullptr || balls->width != kBall || balls->height < 7 * kBall) {
    fprintf(stderr, "icon: the ball picture is not 7 cells of %d x %d\n", kBall, kBall);
    return 1;
  }
  const Picture canvas = DrawCanvas(balls);
  IMGFree(&balls);
  constexpr int kZoom = kMaster / kCanvas;
  Picture master(kMaster * kMaster);
  for (int y = 0; y < kMaster; ++y)
    for (int x = 0; x < kMaster; ++x) master[y * kMaster + x] = canvas[(y / kZoom) * kCanvas + x / kZoom];
  const std::string root = argv[1];
  std::vector<std::string> pngs;
  for (int side : kSizes) {
    const std::string folder = root + "/" + std::to_string(side);
    if ((mkdir(root.c_str(), 0777) != 0 && errno != EEXIST) || (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)) {
      fprintf(stderr, "icon: cannot make %s: %s\n", folder.c_str(), strerror(errno));
      return 1;
    }
    pngs.push_back(folder + "/torvelin.png");
    if (!WritePng(pngs.back(), Shrink(master, side), side)) return 1;
  }
  return WriteIco(root + "/torvelin.ico", pngs) ? 0 : 1;
}
