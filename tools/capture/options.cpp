// The command line of intro-capture and its key script.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>

#include "capture.hpp"
#include "console.hpp"
#include "core/system.hpp"
#include "pngout.hpp"
#include "video.hpp"

namespace {

// A whole number from min to max, written in plain decimal digits.
bool ParseNumber(std::string_view text, int min, int max, int* value) {
  if (text.empty() || text.size() > 9) return false;
  int parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  if (text[0] == '+' || text[0] == '-' || parsed < min || parsed > max) return false;
  *value = parsed;
  return true;
}

// The key byte the keyboard leaves in its cell: letters arrive in lower case.
bool ParseKeyName(std::string_view name, uint8_t* key) {
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  if (lower == "space") {
    *key = ' ';
  } else if (lower == "esc" || lower == "escape") {
    *key = 27;
  } else if (lower.size() == 1 && ((lower[0] >= 'a' && lower[0] <= 'z') || (lower[0] >= '0' && lower[0] <= '9'))) {
    *key = static_cast<uint8_t>(lower[0]);
  } else {
    return false;
  }
  return true;
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// An option's name where its value should be ("--png --raw"): the value
// was forgotten, and the name must not become a folder or a file.
bool LooksLikeAnOption(std::string_view text) {
  return text.starts_with("--") || (text.size() == 2 && text[0] == '-' && text[1] >= 'a' && text[1] <= 'z');
}

bool IsExitKey(uint8_t key) { return key == 27 || key == 'q'; }

// --video FILE, --video-size LINES and --video-loudness on|off.
std::string ParseVideoOption(std::string_view arg, std::string_view value, CAPTUREOptions* parsed) {
  if (arg == "--video") {
    if (!parsed->videoPath.empty()) return "--video is given twice";
    if (value.empty()) return "--video needs a file name";
    parsed->videoPath = value;
  } else if (arg == "--video-size") {
    int lines = 0;
    if (!ParseNumber(value, 1080, 2160, &lines) || (lines != 1080 && lines != 1440 && lines != 2160))
      return "--video-size must be 1080, 1440 or 2160, not " + Quoted(value);
    parsed->videoLines = lines;
  } else if (value == "on" || value == "off") {
    parsed->videoLoudness = value == "on";
  } else {
    return "--video-loudness must be on or off, not " + Quoted(value);
  }
  return {};
}

}  // namespace

std::string CAPTUREParseKeys(std::string_view text, std::vector<CAPTUREKey>* keys) {
  std::vector<CAPTUREKey> parsed;
  if (text.empty()) return "--keys needs at least one FRAME:KEY entry";
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string_view entry = text.substr(start, comma - start);
    const size_t colon = entry.find(':');
    if (colon == std::string_view::npos) return "--keys entry " + Quoted(entry) + " is not FRAME:KEY";
    int frame = 0;
    if (!ParseNumber(entry.substr(0, colon), 0, CAPTUREMaxFrames, &frame))
      return "--keys entry " + Quoted(entry) + ": the frame must be a whole number from 0 to " +
             std::to_string(CAPTUREMaxFrames);
    uint8_t key = 0;
    if (!ParseKeyName(entry.substr(colon + 1), &key))
      return "--keys entry " + Quoted(entry) + ": unknown key (use a letter, a digit, space or esc)";
    for (const CAPTUREKey& earlier : parsed)
      if (earlier.frame == frame) return "--keys has two keys at frame " + std::to_string(frame);
    parsed.push_back({frame, key});
    start = comma + 1;
  }
  std::sort(parsed.begin(), parsed.end(), [](const CAPTUREKey& a, const CAPTUREKey& b) { return a.frame < b.frame; });
  *keys = std::move(parsed);
  return {};
}

std::string CAPTUREParseFrameList(std::string_view text, std::vector<int>* frames) {
  std::vector<int> parsed;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string_view entry = text.substr(start, comma - start);
    int frame = 0;
    if (!ParseNumber(entry, 0, CAPTUREMaxFrames - 1, &frame))
      return "--only entry " + Quoted(entry) + " is not a frame number from 0 to " +
             std::to_string(CAPTUREMaxFrames - 1);
    parsed.push_back(frame);
    start = comma + 1;
  }
  std::sort(parsed.begin(), parsed.end());
  parsed.erase(std::unique(parsed.begin(), parsed.end()), parsed.end());
  *frames = std::move(parsed);
  return {};
}

bool CAPTUREWritesFrame(const CAPTUREOptions& options, int frame) {
  if (frame < options.from) return false;
  return options.only.empty() || std::binary_search(options.only.begin(), options.only.end(), frame);
}

int CAPTUREEndFrame(const CAPTUREOptions& options) {
  int end = options.frames;
  // The key command fades out over its steps, each a frame, then ends.
  for (const CAPTUREKey& key : options.keys)
    if (IsExitKey(key.key)) end = std::min(end, key.frame + 1 + TORVELINFadeSteps);
  return end;
}

std::string CAPTUREKeysPastTheEnd(const CAPTUREOptions& options) {
  // A key goes down after its frame is shown: one at the last frame or
  // later changes no frame and no sound that is written.
  const int last = CAPTUREEndFrame(options) - 1;
  int count = 0;
  int first = 0;
  for (const CAPTUREKey& key : options.keys)
    if (key.frame >= last && count++ == 0) first = key.frame;
  if (count == 0) return {};
  const std::string where = " after the last frame (" + std::to_string(last) + ")";
  if (count == 1)
    return "warning: the key at frame " + std::to_string(first) + " falls" + where + " and changes nothing";
  return "warning: " + std::to_string(count) + " keys, from frame " + std::to_string(first) + " on, fall" + where +
         " and change nothing";
}

std::string CAPTUREParseArguments(int argc, char** argv, CAPTUREOptions* options) {
  CAPTUREOptions parsed;
  bool sawFrames = false;
  bool sawFrom = false;
  bool sawScale = false;
  bool sawKeys = false;
  bool sawOnly = false;
  bool sawVideoSize = false;
  bool sawVideoLoudness = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view value;
    bool inlineValue = false;
    if (const size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string_view::npos) {
      value = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
      inlineValue = true;
    }
    const bool takesValue = arg == "--frames" || arg == "--from" || arg == "--keys" || arg == "--only" || arg == "--png" || arg == "--wav" || arg == "--scale" ||
                            arg == "--video" || arg == "--video-size" || arg == "--video-loudness";
    if (takesValue && !inlineValue) {
      if (i + 1 >= argc) return std::string(arg) + " needs a value";
      value = argv[++i];
      if (LooksLikeAnOption(value)) return std::string(arg) + " needs a value, not the option " + Quoted(value);
    } else if (!takesValue && inlineValue) {
      return std::string(arg) + " takes no value";
    }
    // Each option once: a repeated one is more likely a slip than a wish.
    auto once = [&](bool* seen) {
      const bool first = !*seen;
      *seen = true;
      return first;
    };
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
    } else if (arg == "--frames") {
      if (!once(&sawFrames)) return "--frames is given twice";
      if (!ParseNumber(value, 1, CAPTUREMaxFrames, &parsed.frames))
        return "--frames must be a whole number from 1 to " + std::to_string(CAPTUREMaxFrames) + ", not " +
               Quoted(value);
    } else if (arg == "--from") {
      if (!once(&sawFrom)) return "--from is given twice";
      if (!ParseNumber(value, 0, CAPTUREMaxFrames - 1, &parsed.from))
        return "--from must be a whole number from 0 to " + std::to_string(CAPTUREMaxFrames - 1) + ", not " +
               Quoted(value);
    } else if (arg == "--scale") {
      if (!once(&sawScale)) return "--scale is given twice";
      if (!ParseNumber(value, 1, CAPTUREMaxScale, &parsed.scale))
        return "--scale must be 1, 2, 3 or 4, not " + Quoted(value);
    } else if (arg == "--keys") {
      if (!once(&sawKeys)) return "--keys is given twice";
      if (std::string error = CAPTUREParseKeys(value, &parsed.keys); !error.empty()) return error;
    } else if (arg == "--only") {
      if (!once(&sawOnly)) return "--only is given twice";
      if (std::string error = CAPTUREParseFrameList(value, &parsed.only); !error.empty()) return error;
    } else if (arg == "--png") {
      if (!PNGOUTAvailable()) return "--png is not available in this build: write --raw frames";
      if (!parsed.pngDir.empty()) return "--png is given twice";
      if (value.empty()) return "--png needs a folder";
      parsed.pngDir = value;
    } else if (arg == "--wav") {
      if (!parsed.wavPath.empty()) return "--wav is given twice";
      if (value.empty()) return "--wav needs a file name";
      parsed.wavPath = value == "-" ? CAPTUREStandardOutputName() : value;
    } else if (arg == "--video" || arg == "--video-size" || arg == "--video-loudness") {
      if (!CAPTUREMakesVideos()) return std::string(arg) + " is not available in this build: it cannot start ffmpeg";
      if ((arg == "--video-size" && !once(&sawVideoSize)) || (arg == "--video-loudness" && !once(&sawVideoLoudness)))
        return std::string(arg) + " is given twice";
      if (std::string error = ParseVideoOption(arg, value, &parsed); !error.empty()) return error;
    } else if (arg == "--raw") {
      parsed.raw = true;
    } else if (arg == "--quiet" || arg == "-q") {
      parsed.quiet = true;
    } else {
      return "unknown argument " + Quoted(arg) + " (see --help)";
    }
  }
  if (parsed.from >= parsed.frames)
    return "--from " + std::to_string(parsed.from) + " leaves nothing of the " + std::to_string(parsed.frames) +
           " frames to write";
  if (!parsed.only.empty() && (parsed.only.front() < parsed.from || parsed.only.back() >= parsed.frames))
    return "--only lists frames from " + std::to_string(parsed.only.front()) + " to " +
           std::to_string(parsed.only.back()) + ", outside --from " + std::to_string(parsed.from) + " to --frames " +
           std::to_string(parsed.frames);
  if (const int end = CAPTUREEndFrame(parsed); end <= parsed.from)
    return "the exit key in --keys ends the capture after " + std::to_string(end) + " frames, before --from " +
           std::to_string(parsed.from) + ": nothing to write";
  if (!parsed.help && parsed.pngDir.empty() && !parsed.raw && parsed.wavPath.empty() && parsed.videoPath.empty())
    return "nothing to write: give --png FOLDER, --raw, --wav FILE or --video FILE.mp4 (see --help)";
  // Standard output carries one thing: frames and sound mixed are neither.
  if (!parsed.help && parsed.raw && !parsed.wavPath.empty() && CAPTURELeadsToStandardOutput(parsed.wavPath))
    return "--raw and --wav would both write to standard output: give --wav a file of its own";
  *options = std::move(parsed);
  return {};
}

namespace {

// The text without an option's paragraph: from its line to the next
// option's.
void LeaveOut(std::string* text, const std::string& option) {
  const size_t start = text->find("\n  " + option + " ");
  if (start == std::string::npos) return;
  const size_t end = text->find("\n  --", start + 1);
  text->erase(start, end - start);
}

}  // namespace

std::string CAPTUREProgramName(const std::string& invokedAs) { return SYSTEMProgramName(invokedAs.c_str()); }

std::string CAPTUREUsage(const std::string& program) {
  std::string text = R"(Usage: intro-capture [OPTIONS]

Plays the intro from its start-up exactly as the windowed program does at a
perfect 50 frames per second, without a window or a sound device, and writes
its pictures and its sound. The same options always give the same bytes.

Options:
  --frames N     frames to play from the start, 1 to 999999 (default LOOP: one whole
                 loop of the five scenes, SECONDS seconds). An exit key in
                 the key script ends the capture earlier, after its fade.
  --from F       play frames 0 to F-1 without writing them or their sound:
                 the files start at frame F (which keeps its number), for
                 single frames or a part of the loop. Below --frames.
  --only LIST    write only these frames to --png and --raw: frame numbers
                 separated by commas, from --from to below --frames, for
                 example 100,2500,36708. The sound is written as without it.
  --keys LIST    keys to press, as FRAME:KEY entries separated by commas,
                 for example 120:space,400:p,900:f. A key goes down right
                 after frame FRAME is shown (frames count from 0) and is
                 released one frame later. KEY is a letter, a digit, space
                 or esc: space skips to the next scene, o and p change the
                 scroller's speed, f shows the frame rate, q and esc fade
                 out and end the capture. At most one key per frame.
  --png FOLDER   write each frame as FOLDER/frame_NNNNNN.png, numbered from
                 000000. The folder is made when it does not exist; one
                 that holds frames of an earlier capture is refused.
  --raw          write each frame to standard output as raw RGB bytes
                 (rgb24, 256 x 256 times the scale, 50 frames per second).
  --wav FILE     write the sound as a WAV file: 44100 Hz, mono, 16-bit,
                 882 values per frame, in step with the frames. A file
                 appears under its name only once it is complete, beside
                 the file a symbolic link leads to; a device or a pipe
                 (/dev/stdout, a named pipe) is written straight through.
                 FILE - is standard output. --raw and --wav cannot both
                 write to standard output (or to one file or device).
  --scale N      enlarge the frames N times, nearest neighbour (1 to 4).
  --video FILE.mp4
                 write a finished video, ready to upload: H.264 (High)
                 and AAC (48000 Hz) in an MP4 file, made by ffmpeg,
                 every frame at 50 frames per second, the picture enlarged
                 pixel for pixel and centred on black. The run is played
                 twice: first for its sound, which is measured, then for
                 the video. The file appears only once complete.
  --video-size 1080|1440|2160
                 the video's frame: 1920 x 1080 with the picture enlarged
                 4 times (the default), 2560 x 1440 with 5 times, or
                 3840 x 2160 with 8 times (an odd factor, 5, softens
                 the colour at the pixels' edges; 4 and 8 keep it exact).
  --video-loudness on|off
                 on (the default): the video's sound is raised to about
                 -14 LUFS, as loud as other videos play, with its true
                 peaks held at or below -1 dBTP; off: the intro's own
                 levels. The --wav file is always the intro's own sound.
  --quiet, -q    no progress bar on standard error.
  --help, -h     show this text.

At least one of --png, --raw, --wav and --video is needed. Errors give one line on
standard error and a non-zero status (2 for bad options, 1 for a file or
pipe that cannot be written).

A video of one whole loop, ready to upload:
  intro-capture --video torvelin.mp4

Or with an encoder and settings of your own, the pictures piped, then the
sound added:
  intro-capture --raw --scale 2 --wav torvelin.wav |
    ffmpeg -f rawvideo -pixel_format rgb24 -video_size 512x512 -framerate 50 \
      -i - -c:v libx264 -pix_fmt yuv420p -crf 16 pictures.mp4
  ffmpeg -i pictures.mp4 -i torvelin.wav -c:v copy -c:a aac torvelin.mp4
)";
  // Options this build cannot serve are not offered.
  if (!PNGOUTAvailable()) LeaveOut(&text, "--png");
  if (!CAPTUREMakesVideos())
    for (const char* option : {"--video", "--video-size", "--video-loudness"}) LeaveOut(&text, option);
  // The text names the program as it was started (installed, it is torvelin-capture).
  for (size_t at = 0; (at = text.find("intro-capture", at)) != std::string::npos; at += program.size())
    text.replace(at, 13, program);
  char seconds[16];
  snprintf(seconds, sizeof seconds, "%.2f", static_cast<double>(TORVELINLoopFrames) / TORVELINFrameRate);
  text.replace(text.find("LOOP:"), 4, std::to_string(TORVELINLoopFrames));
  text.replace(text.find("SECONDS"), 7, seconds);
  return text;
}
