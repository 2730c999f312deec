// Helpers shared by the image tests: owned images and quick pixel setup.
#pragma once
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <vector>

#include "image/img.hpp"

struct ImgDeleter {
  void operator()(IMG* img) const { IMGFree(&img); }
};
using ImgPtr = std::unique_ptr<IMG, ImgDeleter>;

struct FreeDeleter {
  void operator()(void* p) const { free(p); }
};
template <class T>
using HeapPtr = std::unique_ptr<T, FreeDeleter>;

// An image of w x h pixels filled with the given words in storage order
// (the rest black).
inline ImgPtr MakeImage(int w, int h, std::initializer_list<uint32_t> words = {}) {
  ImgPtr img(IMGNew());
  IMGAlloc(img.get(), w, h);
  int i = 0;
  for (uint32_t word : words) img->pixels[i++] = word;
  return img;
}

inline ImgPtr FilledImage(int w, int h, uint32_t colour) {
  ImgPtr img = MakeImage(w, h);
  for (int i = 0; i < w * h; ++i) img->pixels[i] = colour;
  return img;
}

inline std::vector<uint32_t> Pixels(const IMG* img) {
  return std::vector<uint32_t>(img->pixels, img->pixels + img->width * img->height);
}
