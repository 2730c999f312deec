// intro-capture: the intro's loop on the headless backend, frames and sound
// written to files or a pipe. See CAPTUREUsage for the command line.
//
// The capture owns its loop: it steps the player frame by frame (after an
// exit key, the fade's steps) until it has the number of frames the options
// ask for, which it knows before it starts. Files take their names only once
// complete (see outfile.hpp); an interrupted capture removes its temporaries.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "capture.hpp"
#include "console.hpp"
#include "core/system.hpp"
#include "driver/player.hpp"
#include "image/img.hpp"
#include "platform/headless.hpp"
#include "platform/sdldpy.hpp"
#include "outfile.hpp"
#include "video.hpp"
#include "wavout.hpp"

namespace {

// Names the program in its messages as it was started: intro-capture in the
// build folder, torvelin-capture once installed.
std::string programName = "intro-capture";

enum Status { kOk = 0, kWriteFailed = 1, kBadArguments = 2 };

struct Progress {
  std::chrono::steady_clock::time_point start;  // of the run, then of the frames written
  std::chrono::steady_clock::time_point lastDrawn;
  bool drawn = false;
  bool playingShown = false;  // the last line drawn was of the frames before --from
  int framesShown = 0;  // the count on the last line drawn
};

struct Capture {
  CAPTUREOptions options;
  int endFrame = 0;  // frames the run plays: --frames, or the end of an exit key's fade
  int framesDone = 0;
  int soundFramesDone = 0;
  bool finished = false;
  std::vector<uint32_t> enlargedRow;  // a row of the frame at --scale
  std::vector<uint8_t> rgb;            // the frame at --scale as RGB bytes
  WAVOUT wav;
  bool wavOpen = false;
  bool madeFolder = false;  // the --png folder is this capture's own
  CAPTUREVideo video;
  bool videoOpen = false;
  std::string ffmpeg;  // the program that makes the video
  Progress progress;
};

Capture capture;

void Fail(const std::string& message);

// The part of the run a progress line counts: the frames played up to
// --from, or the frames written after it, with the time they took.
struct ProgressStage {
  std::string label;
  int done;
  int total;
};

ProgressStage CurrentStage() {
  const int from = capture.options.from;
  if (capture.framesDone < from)
    return {"playing up to --from " + std::to_string(from) + ": ", capture.framesDone, from};
  return {"", capture.framesDone - from, std::max(capture.endFrame - from, 1)};
}

// A terminal gets a bar redrawn in place, a log file a line every few
// seconds; on a terminal, the bar of the frames played stays on a line of
// its own once the frames written begin.
bool ProgressIsDue(bool last, bool terminal, bool stageChanged, std::chrono::steady_clock::time_point now) {
  const Progress& progress = capture.progress;
  if (!progress.drawn || stageChanged) return true;
  const auto interval = std::chrono::milliseconds(terminal ? 200 : 5000);
  if (!last) return now - progress.lastDrawn >= interval;
  // A log already holding the final count does not get it twice.
  return terminal || progress.framesShown != capture.framesDone;
}

void DrawProgress(bool last) {
  if (capture.options.quiet) return;
  const auto now = std::chrono::steady_clock::now();
  const bool terminal = CAPTUREIsTerminal(stderr);
  const ProgressStage stage = CurrentStage();
  const bool playing = !stage.label.empty();
  const bool stageChanged = terminal && capture.progress.drawn && playing != capture.progress.playingShown;
  if (!ProgressIsDue(last, terminal, stageChanged, now)) return;
  if (stageChanged) fputc('\n', stderr);
  capture.progress.lastDrawn = now;
  capture.progress.drawn = true;
  capture.progress.playingShown = playing;
  capture.progress.framesShown = capture.framesDone;
  const double seconds = std::chrono::duration<double>(now - capture.progress.start).count();
  const double rate = seconds > 0 ? stage.done / seconds : 0.0;
  constexpr int kWidth = 30;
  const int filled = static_cast<int>(static_cast<int64_t>(stage.done) * kWidth / stage.total);
  char bar[kWidth + 1];
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = 0;
  fprintf(stderr, "%s[%s] %s%d/%d frames  %.0f frames/s  %.1fx real time ", terminal ? "\r" : "", bar,
          stage.label.c_str(), stage.done, stage.total, rate, rate / TORVELINFrameRate);
  if (last || !terminal) fputc('\n', stderr);
  fflush(stderr);
}

void WriteFrameFiles(const IMG* frame) {
  if (capture.options.pngDir.empty() && !capture.options.raw) return;
  const int scale = capture.options.scale;
  CAPTUREScaleFrame(frame->pixels, frame->width, frame->height, scale, &capture.enlargedRow, &capture.rgb);
  const int width = frame->width * scale;
  const int height = frame->height * scale;
  if (!capture.options.pngDir.empty()) {
    char name[32];
    snprintf(name, sizeof name, "/frame_%06d.png", capture.framesDone);
    const std::string path = capture.options.pngDir + name;
    if (std::string error = CAPTUREWritePng(path, capture.rgb.data(), width, height); !error.empty()) Fail(error);
  }
  if (capture.options.raw && fwrite(capture.rgb.data(), 1, capture.rgb.size(), stdout) != capture.rgb.size())
    Fail(std::string("cannot write the frames to standard output: ") + strerror(errno));
}

// Every presented frame, the exit fade's included.
void OnFrame(const IMG* frame, void*) {
  if (capture.finished) return;
  if (capture.framesDone >= capture.options.from) {
    if (CAPTUREWritesFrame(capture.options, capture.framesDone)) WriteFrameFiles(frame);
    if (capture.videoOpen)
      if (std::string error = CAPTUREVideoWrite(&capture.video, frame->pixels); !error.empty()) {
        capture.videoOpen = false;
        Fail(error);
      }
  }
  ++capture.framesDone;
  // The written frames' rate counts from the first of them.
  if (capture.framesDone == capture.options.from) capture.progress.start = std::chrono::steady_clock::now();
  DrawProgress(false);
}

void WriteSound(const int16_t* values, int count) {
  if (!capture.wavOpen) return;
  if (std::string error = WAVOUTWrite(&capture.wav, values, static_cast<size_t>(count)); !error.empty()) Fail(error);
}

// The sound the device pulled while a frame was shown.
void OnSound(const int16_t* values, int count, void*) {
  if (capture.finished) return;
  if (capture.soundFramesDone >= capture.options.from) WriteSound(values, count);
  ++capture.soundFramesDone;
}

void DiscardSound() {
  if (!capture.wavOpen) return;
  capture.wavOpen = false;
  WAVOUTDiscard(&capture.wav);
}

void DiscardVideo() {
  if (!capture.videoOpen) return;
  capture.videoOpen = false;
  CAPTUREVideoDiscard(&capture.video);
}

// Closes the outputs; the sound file gets its name only when complete.
// Holds the sound to exactly one frame's worth of values per frame shown.
Status Finish() {
  if (capture.finished) return kOk;
  if (capture.wavOpen) {
    const std::vector<int16_t> silence(CAPTUREValuesPerFrame, 0);
    while (capture.soundFramesDone < capture.framesDone) {
      if (capture.soundFramesDone >= capture.options.from) WriteSound(silence.data(), CAPTUREValuesPerFrame);
      ++capture.soundFramesDone;
    }
  }
  capture.finished = true;
  if (capture.options.raw && fflush(stdout) != 0) {
    DiscardSound();
    DiscardVideo();
    fprintf(stderr, "%s: cannot write the frames to standard output: %s\n", programName.c_str(), strerror(errno));
    return kWriteFailed;
  }
  if (capture.wavOpen) {
    capture.wavOpen = false;
    if (std::string error = WAVOUTClose(&capture.wav); !error.empty()) {
      DiscardVideo();
      fprintf(stderr, "%s: %s\n", programName.c_str(), error.c_str());
      return kWriteFailed;
    }
  }
  if (capture.videoOpen) {
    capture.videoOpen = false;
    if (std::string error = CAPTUREVideoClose(&capture.video); !error.empty()) {
      fprintf(stderr, "%s: %s\n", programName.c_str(), error.c_str());
      return kWriteFailed;
    }
  }
  DrawProgress(true);
  return kOk;
}

// A write failed in the middle of the run: say so, leave no sound file
// that looks complete, stop.
void Fail(const std::string& message) {
  capture.finished = true;
  DiscardSound();
  DiscardVideo();
  if (!capture.options.quiet && capture.progress.drawn && CAPTUREIsTerminal(stderr)) fputc('\n', stderr);
  fprintf(stderr, "%s: %s\n", programName.c_str(), message.c_str());
  _exit(kWriteFailed);
}

// True when the folder already holds frames of an earlier capture, which
// a shorter one would leave mixed in with its own.
bool HoldsFrames(const std::string& folder) {
  std::vector<std::string> names;
  if (!SYSTEMFolderNames(folder.c_str(), &names)) return false;
  return std::any_of(names.begin(), names.end(), [](std::string_view name) {
    return name.starts_with("frame_") && name.ends_with(".png");
  });
}

// The folder for the frames: made when missing, and tried with a file.
std::string PrepareFolder(const std::string& folder) {
  if (SYSTEMMakeFolder(folder.c_str()) == 0)
    capture.madeFolder = true;
  else if (errno != EEXIST)
    return "cannot make the folder " + folder + ": " + strerror(errno);
  if (!SYSTEMIsFolder(folder.c_str())) return folder + " is not a folder";
  if (HoldsFrames(folder)) return folder + " already holds frames: give a new or empty folder";
  if (!OUTFILECanCreateIn(folder)) return "cannot write into the folder " + folder + ": " + strerror(errno);
  return {};
}

// The header announces exactly the sound the capture will write, so that a
// pipe or a device can take the file as it is made.
std::string OpenSound(const std::string& path) {
  const int frames = capture.endFrame - capture.options.from;
  const uint32_t values = static_cast<uint32_t>(frames) * CAPTUREValuesPerFrame;
  if (std::string error = WAVOUTOpen(&capture.wav, path, CAPTURESampleRate, values); !error.empty()) {
    WAVOUTDiscard(&capture.wav);
    return error;
  }
  capture.wavOpen = true;
  return {};
}

// The sound file first: a start that fails there leaves no new folder.
std::string PrepareOutputs() {
  const CAPTUREOptions& options = capture.options;
  if (options.raw && CAPTUREIsTerminal(stdout)) return "--raw writes binary frames: pipe standard output into a program or a file";
  if (!options.wavPath.empty())
    if (std::string error = OpenSound(options.wavPath); !error.empty()) return error;
  if (!options.pngDir.empty())
    if (std::string error = PrepareFolder(options.pngDir); !error.empty()) return error;
  // The video last: opening it plays the run once for its sound.
  if (!options.videoPath.empty()) {
    if (std::string error = CAPTUREVideoOpen(&capture.video, options, capture.ffmpeg, CAPTUREOwnProgram()); !error.empty())
      return error;
    capture.videoOpen = true;
  }
  return {};
}

// Down at the key's poll, up at the next one; a release goes before a
// press scheduled at the same poll, so that press stays in the key cell.
std::vector<HEADLESSKeyEvent> KeyScript(const std::vector<CAPTUREKey>& keys) {
  std::vector<HEADLESSKeyEvent> events;
  for (const CAPTUREKey& key : keys) {
    events.push_back({key.frame, key.key, true});
    events.push_back({key.frame + 1, key.key, false});
  }
  std::stable_sort(events.begin(), events.end(), [](const HEADLESSKeyEvent& a, const HEADLESSKeyEvent& b) {
    return a.frame != b.frame ? a.frame < b.frame : (!a.down && b.down);
  });
  return events;
}

// The player presents one frame a step, the fade's steps included, and
// reports the end of the fade, which CAPTUREEndFrame counted in.
void PlayUntilDone() {
  while (capture.framesDone < capture.endFrame && TORVELINPlayerFrame()) {
  }
}

}  // namespace

int main(int argc, char** argv) {
  SYSTEMUtf8Arguments(&argc, &argv);
  if (argc > 0 && argv[0][0] != '\0') programName = CAPTUREProgramName(argv[0]);
  if (std::string error = CAPTUREParseArguments(argc, argv, &capture.options); !error.empty()) {
    fprintf(stderr, "%s: %s\n", programName.c_str(), error.c_str());
    return kBadArguments;
  }
  if (capture.options.help) {
    fputs(CAPTUREUsage(programName).c_str(), stdout);
    return kOk;
  }
  if (std::string warning = CAPTUREKeysPastTheEnd(capture.options); !warning.empty())
    fprintf(stderr, "%s: %s\n", programName.c_str(), warning.c_str());
  if (!capture.options.videoPath.empty())
    if (std::string error = CAPTUREFindFfmpeg(&capture.ffmpeg); !error.empty()) {
      fprintf(stderr, "%s: %s\n", programName.c_str(), error.c_str());
      return kBadArguments;
    }
  // The intro's own allocator choice, so that a capture behaves as it does.
  IMGKeepPixelMemoryInTheHeap();
  CAPTUREPrepareOutput();
  OUTFILERemovePartsOnSignals();
  capture.endFrame = CAPTUREEndFrame(capture.options);
  if (std::string error = PrepareOutputs(); !error.empty()) {
    DiscardSound();
    if (capture.madeFolder) SYSTEMRemoveFolder(capture.options.pngDir.c_str());
    fprintf(stderr, "%s: %s\n", programName.c_str(), error.c_str());
    return kWriteFailed;
  }
  HEADLESSReset();
  const std::vector<HEADLESSKeyEvent> script = KeyScript(capture.options.keys);
  HEADLESSSetKeyScript(script.data(), static_cast<int>(script.size()));
  HEADLESSSetFrameSink(OnFrame, nullptr);
  HEADLESSSetSoundSink(OnSound, nullptr);
  capture.progress.start = std::chrono::steady_clock::now();
  SDLDPYStartSystem();
  // The exit keys leave the fade and the end to this loop.
  TORVELINHostEndsRun = true;
  TORVELINInit();
  PlayUntilDone();
  const Status status = Finish();
  // Give back what the run and the start-up made, so memory checkers see a
  // clean end.
  TORVELINShutdown();
  HEADLESSReset();
  return status;
}
