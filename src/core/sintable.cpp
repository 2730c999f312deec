#include "core/sintable.hpp"

#include <cfloat>
#include <cmath>

// Every float step is rounded to single precision as it happens; a target
// that kept extra precision in registers would build a different table.
static_assert(FLT_EVAL_METHOD == 0, "single-precision steps must not carry excess precision");

namespace {

// The quarter wave is evaluated in single precision at every step (angle,
// sine, product, sum); the other three quarters are mirrored from it, so the
// peak is 32766 and the table is exactly symmetric.
std::array<int16_t, SinTableLength> BuildSinTable() {
  constexpr int quarterTurn = SinTableQuarterTurn;
  std::array<int16_t, quarterTurn> quarter{};
  for (int i = 0; i < quarterTurn; ++i) {
    const float angle = 2.0f * 3.14159265358979f * static_cast<float>(i) / 1024.0f;
    const float scaled = 32767.0f * std::sin(angle) + 0.5f;
    quarter[i] = static_cast<int16_t>(std::floor(scaled));
  }
  std::array<int16_t, SinTableLength> table{};
  for (int i = 0; i < quarterTurn; ++i) {
    const int mirrored = quarterTurn - 1 - i;
    table[i] = quarter[i];
    table[quarterTurn + i] = quarter[mirrored];
    table[2 * quarterTurn + i] = static_cast<int16_t>(-quarter[i]);
    table[3 * quarterTurn + i] = static_cast<int16_t>(-quarter[mirrored]);
  }
  return table;
}

}  // namespace

const std::array<int16_t, SinTableLength> SinTable = BuildSinTable();
