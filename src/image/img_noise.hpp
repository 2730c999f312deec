// The noise fill: grey noise under a tint, one pseudo-random draw per pixel.
#pragma once
#include <cstddef>
#include <cstdint>

// Fills pixels[0..count), the last first, drawing once per pixel from the
// generator state `state` (the shared generator's step): pixel p is half of
// the colour (each channel halved, its lowest bit dropped) plus bits 16..22
// of its draw as a grey in all three channels. With over, over[k] is laid
// on pixel k as it is made, by IMGBlendHalf's rule. Returns the state after
// the last draw.
uint32_t IMGFillNoise(uint32_t* pixels, const uint32_t* over, size_t count, uint32_t colour, uint32_t state);
