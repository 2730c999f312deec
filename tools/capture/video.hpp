// intro-capture's --video: a finished MP4 (H.264 and AAC) made by ffmpeg,
// which runs as a child process and gets the frames through a pipe.
//
// The sound is known only once the run has been played, so opening the
// video plays the run once beforehand in a child capture that writes just
// its sound; ffmpeg measures that sound's loudness, and the encoder gets
// it, raised to the loudness video sites play at, as its second input.
// The MP4 is written under the output file's temporary name and takes its
// own only when ffmpeg has finished it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "capture.hpp"
#include "outfile.hpp"
#include "video_process.hpp"

// A standard video frame and the whole factor the 256 x 256 picture is
// enlarged by, centred on black.
struct CAPTUREVideoSize {
  int width;
  int height;
  int scale;
};
// For --video-size 1080, 1440 or 2160; false for any other height.
bool CAPTUREVideoSizeFor(int lines, CAPTUREVideoSize* size);

// The loudness video sites play at, and the true-peak ceiling of the
// limiter that keeps the raised sound's peaks (after AAC) at or below -1 dBTP.
constexpr double CAPTUREVideoLoudness = -14.0;
constexpr double CAPTUREVideoPeakCeiling = -2.0;

// The video's sound rate; a --wav file keeps the intro's own.
constexpr int CAPTUREVideoSampleRate = 48000;

// For a size whose factor is odd, the line that says its colour is
// softened at pixel edges; else empty.
std::string CAPTUREVideoSizeNote(const CAPTUREVideoSize& size);

// What ffmpeg measured of the capture's own sound, and what is done to it.
struct CAPTURESoundLevels {
  double loudness = 0;  // integrated, LUFS
  double truePeak = 0;  // dBTP
  double gain = 0;      // dB added
  bool adjusted = false;  // measured, and raised (or lowered) by `gain`
  bool limited = false;   // the raised peaks would pass the ceiling
};

// One frame as the encoder takes it, and the pictures it is made from,
// kept from frame to frame.
struct CAPTUREVideoPicture {
  std::vector<uint32_t> packed;    // the 256 x 256 frame as YUV words
  std::vector<uint32_t> enlarged;  // those words enlarged by the video's factor
  std::vector<uint8_t> yuv;        // the planes handed to the encoder
};

struct CAPTUREVideo {
  CAPTUREVideoSize size{};
  OUTFILE file;             // ffmpeg writes the MP4 to file.part
  VIDEOChild encoder = VIDEONoChild;
  int frames = -1;          // the pipe the frames go down
  VIDEOScratch sound;       // the run's sound, the encoder's second input
  VIDEOScratch messages;    // ffmpeg's standard error
  CAPTUREVideoPicture picture;  // the frame being handed over
  CAPTURESoundLevels levels;
};

// False in a build that cannot start other programs.
bool CAPTUREMakesVideos();
// Finds ffmpeg on PATH. Empty text on success, else the line that says
// which package to install.
std::string CAPTUREFindFfmpeg(std::string* path);

// Plays the run once for its sound, measures it, and starts the encoder.
// `self` is the capture program to run for the sound. Empty text on
// success, else one line; nothing is left behind on failure.
std::string CAPTUREVideoOpen(CAPTUREVideo* video, const CAPTUREOptions& options, const std::string& ffmpeg,
                             const std::string& self);
// Hands the encoder one 256 x 256 frame of 0x00RRGGBB words.
std::string CAPTUREVideoWrite(CAPTUREVideo* video, const uint32_t* pixels);
// Ends the frames, waits for the encoder and gives the MP4 its name.
std::string CAPTUREVideoClose(CAPTUREVideo* video);
// Stops the encoder and removes the unfinished file.
void CAPTUREVideoDiscard(CAPTUREVideo* video);

// One 256 x 256 frame enlarged and centred in a frame of `size`, as 8-bit
// limited-range BT.709 YUV 4:2:0 planes (Y, then Cb, then Cr).
void CAPTUREVideoFrame(const uint32_t* pixels, const CAPTUREVideoSize& size, CAPTUREVideoPicture* picture);
