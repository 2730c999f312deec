// intro-capture: plays the intro on the headless backend, exactly as the
// windowed program would at a perfect 50 frames per second, and writes its
// frames (PNG files or raw RGB on standard output) and its sound (WAV).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"

// Frame files are numbered with six digits, so names sort in playing order.
constexpr int CAPTUREMaxFrames = 999999;
constexpr int CAPTUREMaxScale = 4;
constexpr int CAPTURESampleRate = 44100;
constexpr int CAPTUREValuesPerFrame = CAPTURESampleRate / TORVELINFrameRate;

// A key pressed at a frame: it goes down at keyboard poll `frame` (the poll
// that follows the presentation of frame `frame`, counting from 0) and is
// released at the next poll.
struct CAPTUREKey {
  int32_t frame;
  uint8_t key;
};

struct CAPTUREOptions {
  int frames = TORVELINLoopFrames;  // one whole loop
  int from = 0;  // frames (and their sound) before this one are played, not written
  std::vector<int> only;  // when not empty: the only frames written (rising order), sound unaffected
  std::vector<CAPTUREKey> keys;
  std::string pngDir;   // empty: no PNG frames
  bool raw = false;     // raw RGB frames on standard output
  std::string wavPath;  // empty: no sound file
  std::string videoPath;  // empty: no video
  int videoLines = 1080;  // the video's height: 1080, 1440 or 2160
  bool videoLoudness = true;  // the video's sound raised to the loudness video sites play at
  int scale = 1;
  bool quiet = false;
  bool help = false;
};

// Both return an empty text on success, otherwise one line saying what is
// wrong (without the program name).
std::string CAPTUREParseKeys(std::string_view text, std::vector<CAPTUREKey>* keys);
std::string CAPTUREParseFrameList(std::string_view text, std::vector<int>* frames);
std::string CAPTUREParseArguments(int argc, char** argv, CAPTUREOptions* options);
// The name the program was started as, without its folder.
std::string CAPTUREProgramName(const std::string& invokedAs);
// The --help text, naming the program as `program`.
std::string CAPTUREUsage(const std::string& program);

// Enlarges a frame of 0x00RRGGBB words `scale` times, nearest neighbour,
// into RGB bytes: each row enlarged across (IMGEnlargeRow, into `row`),
// then repeated down. Both buffers keep their size from frame to frame.
void CAPTUREScaleFrame(const uint32_t* pixels, int width, int height, int scale, std::vector<uint32_t>* row,
                       std::vector<uint8_t>* rgb);

// True when frame `frame` goes to the PNG files and the raw output.
bool CAPTUREWritesFrame(const CAPTUREOptions& options, int frame);

// The number of frames the capture plays: --frames, or fewer when an exit
// key ends the run first: the key's frame, then the fade's steps.
int CAPTUREEndFrame(const CAPTUREOptions& options);
// A one-line warning when keys fall after the last frame played; else empty.
std::string CAPTUREKeysPastTheEnd(const CAPTUREOptions& options);

// Writes an RGB picture as a PNG file, which takes its name only once
// complete. Empty text on success.
std::string CAPTUREWritePng(const std::string& path, const uint8_t* rgb, int width, int height);
