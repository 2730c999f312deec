// VEC2D: a two-dimensional integer position or displacement.
#pragma once
#include <cstdint>

struct VEC2D {
  int32_t x;
  int32_t y;
};

VEC2D* VEC2DNew();
void VEC2DFree(VEC2D** ref);
// Vectors have no text form: both always give null.
char* VEC2DToASCII(const VEC2D* v);
VEC2D* VEC2DFromASCII(const char* text);
bool VEC2DEqual(const VEC2D* a, const VEC2D* b);
// Source first, destination second.
void VEC2DCopy(const VEC2D* src, VEC2D* dst);
VEC2D* VEC2DClone(const VEC2D* v);
// Kept for the module family's shape; has nothing to do.
void VEC2DPlaceholder();
void VEC2DError();
