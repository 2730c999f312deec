// The command line of intro-capture and its key script.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

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

namespace {

// ---- The options, one entry each: parsing, the checks and the help all read it ----

using OptionParser = std::string (*)(std::string_view value, CAPTUREOptions* parsed);

struct Option {
  std::string_view name;       // "--frames"
  std::string_view shortName;  // "-q", or empty
  std::string_view valueName;  // the value's name in the help; empty: the option takes no value
  OptionParser parse;
  std::string_view help;  // its lines in the help text; {braced} names are filled in
  // Null, or whether this build can serve the option: one it cannot is
  // refused at once, for `unserved`, and left out of the help.
  bool (*servedByThisBuild)() = nullptr;
  std::string_view unserved = "";
};

bool Served(const Option& option) { return option.servedByThisBuild == nullptr || option.servedByThisBuild(); }

// "1, 2, 3 or 4": every whole number from 1 to max.
std::string OneTo(int max) {
  std::string text = "1";
  for (int n = 2; n <= max; ++n) text += (n == max ? " or " : ", ") + std::to_string(n);
  return text;
}

std::string ParseFrames(std::string_view value, CAPTUREOptions* parsed) {
  if (ParseNumber(value, 1, CAPTUREMaxFrames, &parsed->frames)) return {};
  return "--frames must be a whole number from 1 to " + std::to_string(CAPTUREMaxFrames) + ", not " + Quoted(value);
}

std::string ParseFrom(std::string_view value, CAPTUREOptions* parsed) {
  if (ParseNumber(value, 0, CAPTUREMaxFrames - 1, &parsed->from)) return {};
  return "--from must be a whole number from 0 to " + std::to_string(CAPTUREMaxFrames - 1) + ", not " +
         Quoted(value);
}

std::string ParseScale(std::string_view value, CAPTUREOptions* parsed) {
  if (ParseNumber(value, 1, CAPTUREMaxScale, &parsed->scale)) return {};
  return "--scale must be " + OneTo(CAPTUREMaxScale) + ", not " + Quoted(value);
}

std::string ParseKeyList(std::string_view value, CAPTUREOptions* parsed) { return CAPTUREParseKeys(value, &parsed->keys); }

std::string ParseOnly(std::string_view value, CAPTUREOptions* parsed) {
  return CAPTUREParseFrameList(value, &parsed->only);
}

std::string ParsePng(std::string_view value, CAPTUREOptions* parsed) {
  if (value.empty()) return "--png needs a folder";
  parsed->pngDir = value;
  return {};
}

std::string ParseWav(std::string_view value, CAPTUREOptions* parsed) {
  if (value.empty()) return "--wav needs a file name";
  parsed->wavPath = value == "-" ? CAPTUREStandardOutputName() : std::string(value);
  return {};
}

std::string ParseVideo(std::string_view value, CAPTUREOptions* parsed) {
  if (value.empty()) return "--video needs a file name";
  parsed->videoPath = value;
  return {};
}

std::string ParseVideoSize(std::string_view value, CAPTUREOptions* parsed) {
  int lines = 0;
  if (ParseNumber(value, 1080, 2160, &lines) && (lines == 1080 || lines == 1440 || lines == 2160)) {
    parsed->videoLines = lines;
    return {};
  }
  return "--video-size must be 1080, 1440 or 2160, not " + Quoted(value);
}

std::string ParseVideoLoudness(std::string_view value, CAPTUREOptions* parsed) {
  if (value != "on" && value != "off") return "--video-loudness must be on or off, not " + Quoted(value);
  parsed->videoLoudness = value == "on";
  return {};
}

std::string SetRaw(std::string_view, CAPTUREOptions* parsed) {
  parsed->raw = true;
  return {};
}

std::string SetQuiet(std::string_view, CAPTUREOptions* parsed) {
  parsed->quiet = true;
  return {};
}

std::string SetHelp(std::string_view, CAPTUREOptions* parsed) {
  parsed->help = true;
  return {};
}

// In the order of the help text.
const Option kOptions[] = {
    {"--frames", "", "N", ParseFrames,
     "frames to play from the start, 1 to {max-frames} (default {loop}: one whole\n"
     "loop of the five scenes, {seconds} seconds). An exit key in\n"
     "the key script ends the capture earlier, after its fade."},
    {"--from", "", "F", ParseFrom,
     "play frames 0 to F-1 without writing them or their sound:\n"
     "the files start at frame F (which keeps its number), for\n"
     "single frames or a part of the loop. Below --frames."},
    {"--only", "", "LIST", ParseOnly,
     "write only these frames to --png and --raw: frame numbers\n"
     "separated by commas, from --from to below --frames, for\n"
     "example 100,2500,36708. The sound is written as without it."},
    {"--keys", "", "LIST", ParseKeyList,
     "keys to press, as FRAME:KEY entries separated by commas,\n"
     "for example 120:space,400:p,900:f. A key goes down right\n"
     "after frame FRAME is shown (frames count from 0) and is\n"
     "released one frame later. KEY is a letter, a digit, space\n"
     "or esc: space skips to the next scene, o and p change the\n"
     "scroller's speed, f shows the frame rate, q and esc fade\n"
     "out and end the capture. At most one key per frame."},
    {"--png", "", "FOLDER", ParsePng,
     "write each frame as FOLDER/frame_NNNNNN.png, numbered from\n"
     "000000. The folder is made when it does not exist; one\n"
     "that holds frames of an earlier capture is refused.",
     PNGOUTAvailable, "write --raw frames"},
    {"--raw", "", "", SetRaw,
     "write each frame to standard output as raw RGB bytes\n"
     "(rgb24, 256 x 256 times the scale, 50 frames per second)."},
    {"--wav", "", "FILE", ParseWav,
     "write the sound as a WAV file: 44100 Hz, mono, 16-bit,\n"
     "882 values per frame, in step with the frames. A file\n"
     "appears under its name only once it is complete, beside\n"
     "the file a symbolic link leads to; a device or a pipe\n"
     "(/dev/stdout, a named pipe) is written straight through.\n"
     "FILE - is standard output. --raw and --wav cannot both\n"
     "write to standard output (or to one file or device)."},
    {"--scale", "", "N", ParseScale, "enlarge the frames N times, nearest neighbour (1 to {max-scale})."},
    {"--video", "", "FILE.mp4", ParseVideo,
     "write a finished video, ready to upload: H.264 (High)\n"
     "and AAC (48000 Hz) in an MP4 file, made by ffmpeg,\n"
     "every frame at 50 frames per second, the picture enlarged\n"
     "pixel for pixel and centred on black. The run is played\n"
     "twice: first for its sound, which is measured, then for\n"
     "the video. The file appears only once complete.",
     CAPTUREMakesVideos, "it cannot start ffmpeg"},
    {"--video-size", "", "1080|1440|2160", ParseVideoSize,
     "the video's frame: 1920 x 1080 with the picture enlarged\n"
     "4 times (the default), 2560 x 1440 with 5 times, or\n"
     "3840 x 2160 with 8 times (an odd factor, 5, softens\n"
     "the colour at the pixels' edges; 4 and 8 keep it exact).",
     CAPTUREMakesVideos, "it cannot start ffmpeg"},
    {"--video-loudness", "", "on|off", ParseVideoLoudness,
     "on (the default): the video's sound is raised to about\n"
     "-14 LUFS, as loud as other videos play, with its true\n"
     "peaks held at or below -1 dBTP; off: the intro's own\n"
     "levels. The --wav file is always the intro's own sound.",
     CAPTUREMakesVideos, "it cannot start ffmpeg"},
    {"--quiet", "-q", "", SetQuiet, "no progress bar on standard error."},
    {"--help", "-h", "", SetHelp, "show this text."},
};
constexpr size_t kOptionCount = std::size(kOptions);

const Option* FindOption(std::string_view name) {
  for (const Option& option : kOptions)
    if (name == option.name || (!option.shortName.empty() && name == option.shortName)) return &option;
  return nullptr;
}

// One argument, and the next one when it is the option's value; `at`
// moves past what was used. Each option with a value is given once: a
// repeated one is more likely a slip than a wish.
std::string ParseOneOption(int argc, char** argv, int* at, bool (&seen)[kOptionCount], CAPTUREOptions* parsed) {
  std::string_view arg = argv[*at];
  std::optional<std::string_view> inlineValue;
  if (const size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string_view::npos) {
    inlineValue = arg.substr(equals + 1);
    arg = arg.substr(0, equals);
  }
  const Option* option = FindOption(arg);
  if (option == nullptr) return "unknown argument " + Quoted(arg) + " (see --help)";
  if (!Served(*option))
    return std::string(arg) + " is not available in this build: " + std::string(option->unserved);
  const bool takesValue = !option->valueName.empty();
  if (!takesValue && inlineValue) return std::string(arg) + " takes no value";
  std::string_view value = inlineValue.value_or("");
  if (takesValue && !inlineValue) {
    if (*at + 1 >= argc) return std::string(arg) + " needs a value";
    value = argv[++*at];
    if (LooksLikeAnOption(value)) return std::string(arg) + " needs a value, not the option " + Quoted(value);
  }
  if (takesValue && std::exchange(seen[option - kOptions], true)) return std::string(arg) + " is given twice";
  return option->parse(value, parsed);
}

// What the options ask for together.
std::string CheckTogether(const CAPTUREOptions& parsed) {
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
  if (parsed.help) return {};
  if (parsed.pngDir.empty() && !parsed.raw && parsed.wavPath.empty() && parsed.videoPath.empty())
    return "nothing to write: give --png FOLDER, --raw, --wav FILE or --video FILE.mp4 (see --help)";
  // Standard output carries one thing: frames and sound mixed are neither.
  if (parsed.raw && !parsed.wavPath.empty() && CAPTURELeadsToStandardOutput(parsed.wavPath))
    return "--raw and --wav would both write to standard output: give --wav a file of its own";
  return {};
}

// "  --quiet, -q    no progress bar ...": the option in a column of its
// own, or on a line of its own when it is too long for the column.
std::string HelpEntry(const Option& option) {
  constexpr size_t kColumn = 17;
  std::string label = "  " + std::string(option.name);
  if (!option.valueName.empty()) label += " " + std::string(option.valueName);
  if (!option.shortName.empty()) label += ", " + std::string(option.shortName);
  const std::string indent(kColumn, ' ');
  std::string text = label.size() + 2 <= kColumn ? label + std::string(kColumn - label.size(), ' ') : label + "\n" + indent;
  for (char c : option.help) text += c == '\n' ? "\n" + indent : std::string(1, c);
  return text + "\n";
}

void ReplaceAll(std::string* text, std::string_view name, const std::string& value) {
  for (size_t at = 0; (at = text->find(name, at)) != std::string::npos; at += value.size())
    text->replace(at, name.size(), value);
}

}  // namespace

std::string CAPTUREParseArguments(int argc, char** argv, CAPTUREOptions* options) {
  CAPTUREOptions parsed;
  bool seen[kOptionCount] = {};
  for (int at = 1; at < argc; ++at)
    if (std::string error = ParseOneOption(argc, argv, &at, seen, &parsed); !error.empty()) return error;
  if (std::string error = CheckTogether(parsed); !error.empty()) return error;
  *options = std::move(parsed);
  return {};
}

std::string CAPTUREProgramName(const std::string& invokedAs) { return SYSTEMProgramName(invokedAs.c_str()); }

std::string CAPTUREUsage(const std::string& program) {
  std::string text = R"(Usage: intro-capture [OPTIONS]

Plays the intro from its start-up exactly as the windowed program does at a
perfect 50 frames per second, without a window or a sound device, and writes
its pictures and its sound. The same options always give the same bytes.

Options:
)";
  for (const Option& option : kOptions)
    if (Served(option)) text += HelpEntry(option);
  text += R"(
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
  // The text names the program as it was started (installed, it is torvelin-capture).
  ReplaceAll(&text, "intro-capture", program);
  char seconds[16];
  snprintf(seconds, sizeof seconds, "%.2f", static_cast<double>(TORVELINLoopFrames) / TORVELINFrameRate);
  ReplaceAll(&text, "{max-frames}", std::to_string(CAPTUREMaxFrames));
  ReplaceAll(&text, "{max-scale}", std::to_string(CAPTUREMaxScale));
  ReplaceAll(&text, "{loop}", std::to_string(TORVELINLoopFrames));
  ReplaceAll(&text, "{seconds}", seconds);
  return text;
}
