#include "containers/vec2d.hpp"

#include <cstdlib>

#include "core/identification.hpp"
#include "core/report.hpp"

namespace {

constexpr bool kDiagnostics = false;

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "VEC2D   "};

}  // namespace

void VEC2DError() {
  REPORTError(kDiagnostics, "VEC2D error\n");
}

VEC2D* VEC2DNew() {
  auto* v = static_cast<VEC2D*>(std::calloc(1, sizeof(VEC2D)));
  if (v == nullptr) VEC2DError();
  return v;
}

void VEC2DFree(VEC2D** ref) {
  if (ref == nullptr || *ref == nullptr) {
    VEC2DError();
    return;
  }
  std::free(*ref);
  *ref = nullptr;
}

char* VEC2DToASCII(const VEC2D* v) {
  if (v == nullptr) VEC2DError();
  return nullptr;
}

VEC2D* VEC2DFromASCII(const char* text) {
  if (text == nullptr) VEC2DError();
  return nullptr;
}

bool VEC2DEqual(const VEC2D* a, const VEC2D* b) {
  if (a == nullptr || b == nullptr) {
    VEC2DError();
    return false;
  }
  return a->x == b->x && a->y == b->y;
}

void VEC2DCopy(const VEC2D* src, VEC2D* dst) {
  if (src == nullptr || dst == nullptr) {
    VEC2DError();
    return;
  }
  dst->x = src->x;
  dst->y = src->y;
}

VEC2D* VEC2DClone(const VEC2D* v) {
  if (v == nullptr) {
    VEC2DError();
    return nullptr;
  }
  VEC2D* clone = VEC2DNew();
  if (clone != nullptr) VEC2DCopy(v, clone);
  return clone;
}

void VEC2DPlaceholder() {}
