// A fresh start-up on the headless backend for every driver test, and the
// frames that reached the window.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "driver/torvelin.hpp"
#include "image/img.hpp"
#include "platform/headless.hpp"

struct Presented {
  std::vector<uint32_t> firstPixels;  // pixel 0 of each presented frame
  std::vector<uint32_t> ticks;        // virtual time of each presentation
  std::vector<int> polls;             // keyboard polls made before it
  uint32_t lastMax = 0;               // brightest channel of the last frame

  static void sink(const IMG* frame, void* user) {
    auto* self = static_cast<Presented*>(user);
    self->firstPixels.push_back(frame->pixels[0]);
    self->ticks.push_back(HEADLESSTicks());
    self->polls.push_back(HEADLESSPollCount());
    uint32_t brightest = 0;
    const size_t count = static_cast<size_t>(frame->width) * frame->height;
    for (size_t i = 0; i < count; ++i) {
      const uint32_t p = frame->pixels[i];
      for (uint32_t c : {p >> 16 & 0xffu, p >> 8 & 0xffu, p & 0xffu}) brightest = c > brightest ? c : brightest;
    }
    self->lastMax = brightest;
  }
};

struct Driver : ::testing::Test {
  Presented presented;

  void SetUp() override {
    HEADLESSReset();
    resetFlags();
    HEADLESSSetFrameSink(&Presented::sink, &presented);
    TORVELINInit();
  }
  void TearDown() override {
    TORVELINShutdown();
    HEADLESSReset();
    resetFlags();
  }
  static void resetFlags() {
    TORVELINNextPart = 0;
    TORVELINExit = 0;
    TORVELINRateDisplay = 0;
    const uint8_t toggles[4] = {1, 1, 1, 3};
    for (int i = 0; i < 4; ++i) TORVELINToggles[i] = toggles[i];
  }
  static void script(std::vector<HEADLESSKeyEvent> events) {
    HEADLESSSetKeyScript(events.data(), static_cast<int>(events.size()));
  }
  static void fill(uint32_t colour) {
    const size_t count = static_cast<size_t>(TORVELINFrame->width) * TORVELINFrame->height;
    for (size_t i = 0; i < count; ++i) TORVELINFrame->pixels[i] = colour;
  }
};
