// Logo scene: eight copies of the logo, from 256 x 64 up to 2048 x 512,
// tinted at random and stacked upwards from the middle of the screen, each
// blended half over the ones before and all swinging on one sine.
#include "core/rnd.hpp"
#include "core/sintable.hpp"
#include "driver/scene_table.hpp"
#include "driver/texts.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"

namespace {

// Copy i is (i + 1) times this size.
constexpr int kCopyWidth = 256;
constexpr int kCopyHeight = 64;
// The smallest copy sits this far down; each larger one a step higher.
constexpr int kBottomRow = 96;
constexpr int kRowStep = 32;
// The swing reaches this far past half a copy's width.
constexpr int kSwingMargin = 256;
constexpr uint32_t kWhite = 0xffffffu;

// Subtracting the complement of k turns the logo's white into k.
void Tint(IMG* copy, uint32_t k) { IMGSubtract(copy, kWhite - k); }

void TintAll() {
  if (RNDNext() & 1) {
    const uint32_t k = TORVELINPastel[RNDNext() % static_cast<int>(TORVELINPastel.size())];
    for (IMG* copy : TORVELINLogoCopies) Tint(copy, k);
    return;
  }
  const int hues = static_cast<int>(TORVELINHues.size());
  const int s = RNDNext() % hues;
  for (int i = 0; i < TORVELINLogoCopyCount; ++i) Tint(TORVELINLogoCopies[i], TORVELINHues[(s + i) % hues]);
}

}  // namespace

IMG* TORVELINLogoCopies[TORVELINLogoCopyCount] = {};

int TORVELINLogoSwingX(int32_t v, int32_t d) {
  // C++ division truncates towards zero and >> of a negative value is an
  // arithmetic shift, which is the swing's rounding.
  return -d / 2 + ((v * (d / 2 + kSwingMargin)) >> 15) + TORVELINWidth / 2;
}

void TORVELINLogosStart() {
  for (int i = 0; i < TORVELINLogoCopyCount; ++i) {
    IMG* copy = IMGNew();
    IMGAlloc(copy, kCopyWidth * (i + 1), kCopyHeight * (i + 1));
    IMGScale(TORVELINLogo, copy);
    TORVELINLogoCopies[i] = copy;
  }
  TintAll();
}

void TORVELINLogosDraw(int f) {
  const int n = TORVELINLogoFrames - f;
  IMGClear(TORVELINFrame);
  const int32_t v = SinTable[(2 * n) & SinTableMask];
  for (int i = 0; i < TORVELINLogoCopyCount; ++i) {
    IMG* copy = TORVELINLogoCopies[i];
    IMGBlendHalf(copy, TORVELINFrame, TORVELINLogoSwingX(v, copy->width), kBottomRow - kRowStep * i);
  }
}

void TORVELINLogosStop() {
  for (IMG*& copy : TORVELINLogoCopies) IMGFree(&copy);
}
