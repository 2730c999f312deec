#include "video.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "child_messages.hpp"

extern char** environ;

namespace {

constexpr int kSide = 256;  // the intro's frame, across and down

// ---- Pictures: RGB to limited-range BT.709 YUV, the standard for HD video ----

struct Yuv {
  uint8_t y, cb, cr;
};

// The weights of red, green and blue in each component, in 1/65536ths:
// luma to 16-235, colour differences to 16-240 around 128.
struct YuvWeights {
  int32_t y[3], cb[3], cr[3];
};

constexpr int32_t Fixed(double weight) { return static_cast<int32_t>(weight * 65536 + (weight < 0 ? -0.5 : 0.5)); }

constexpr YuvWeights MakeWeights() {
  constexpr double kr = 0.2126, kb = 0.0722, kg = 1 - kr - kb;
  constexpr double luma = 219.0 / 255, chroma = 224.0 / 255;
  return {{Fixed(kr * luma), Fixed(kg * luma), Fixed(kb * luma)},
          {Fixed(-kr / (2 * (1 - kb)) * chroma), Fixed(-kg / (2 * (1 - kb)) * chroma), Fixed(0.5 * chroma)},
          {Fixed(0.5 * chroma), Fixed(-kg / (2 * (1 - kr)) * chroma), Fixed(-kb / (2 * (1 - kr)) * chroma)}};
}
constexpr YuvWeights kWeights = MakeWeights();

uint8_t Weigh(const int32_t (&weights)[3], int32_t r, int32_t g, int32_t b, int32_t offset) {
  return static_cast<uint8_t>((weights[0] * r + weights[1] * g + weights[2] * b + (offset << 16) + 32768) >> 16);
}

Yuv ToYuv(uint32_t rgb) {
  const int32_t r = (rgb >> 16) & 255, g = (rgb >> 8) & 255, b = rgb & 255;
  return {Weigh(kWeights.y, r, g, b, 16), Weigh(kWeights.cb, r, g, b, 128), Weigh(kWeights.cr, r, g, b, 128)};
}

// Writes the black border once, when the buffer is first sized.
void Blacken(const CAPTUREVideoSize& size, std::vector<uint8_t>* yuv) {
  const size_t lumaBytes = static_cast<size_t>(size.width) * size.height;
  yuv->assign(lumaBytes * 3 / 2, 128);
  std::fill(yuv->begin(), yuv->begin() + static_cast<ptrdiff_t>(lumaBytes), 16);
}

// One chroma row of the picture: each value the mean of the 2 x 2 luma
// pixels it covers, which lie on source rows `rows` and columns
// `columns[2 * i]`, `columns[2 * i + 1]`.
void ChromaRow(const std::vector<Yuv>& picture, const int (&rows)[2], const std::vector<int>& columns, uint8_t* cb,
               uint8_t* cr) {
  for (size_t i = 0; i < columns.size() / 2; ++i) {
    int sumCb = 2, sumCr = 2;
    for (int row : rows)
      for (int column : {columns[2 * i], columns[2 * i + 1]}) {
        const Yuv& pixel = picture[static_cast<size_t>(row) * kSide + column];
        sumCb += pixel.cb;
        sumCr += pixel.cr;
      }
    cb[i] = static_cast<uint8_t>(sumCb / 4);
    cr[i] = static_cast<uint8_t>(sumCr / 4);
  }
}

}  // namespace

bool CAPTUREVideoSizeFor(int lines, CAPTUREVideoSize* size) {
  switch (lines) {
    case 1080: *size = {1920, 1080, 4}; return true;
    case 1440: *size = {2560, 1440, 5}; return true;
    case 2160: *size = {3840, 2160, 8}; return true;
    default: return false;
  }
}

void CAPTUREVideoFrame(const uint32_t* pixels, const CAPTUREVideoSize& size, std::vector<uint8_t>* yuv) {
  const size_t lumaBytes = static_cast<size_t>(size.width) * size.height;
  if (yuv->size() != lumaBytes * 3 / 2) Blacken(size, yuv);
  std::vector<Yuv> converted(kSide * kSide);
  for (int i = 0; i < kSide * kSide; ++i) converted[i] = ToYuv(pixels[i]);
  const int side = kSide * size.scale;
  const int left = (size.width - side) / 2;
  const int top = (size.height - side) / 2;
  // Luma: each pixel repeated `scale` times across, each row `scale` times down.
  uint8_t* luma = yuv->data();
  for (int y = 0; y < side; ++y) {
    uint8_t* row = luma + static_cast<size_t>(top + y) * size.width + left;
    if (y % size.scale != 0) {
      memcpy(row, row - size.width, side);
      continue;
    }
    const Yuv* source = &converted[static_cast<size_t>(y / size.scale) * kSide];
    for (int x = 0; x < kSide; ++x) memset(row + x * size.scale, source[x].y, size.scale);
  }
  // Chroma, one value per 2 x 2 luma pixels. An even factor never puts
  // two source pixels under one value, so colours stay exact; under an odd
  // one, the pixels' edges get the mean. A row like the one above is copied.
  const int chromaWidth = size.width / 2;
  uint8_t* cb = luma + lumaBytes + static_cast<size_t>(top / 2) * chromaWidth + left / 2;
  uint8_t* cr = cb + lumaBytes / 4;
  std::vector<int> columns(side);
  for (int x = 0; x < side; ++x) columns[x] = x / size.scale;
  int previous[2] = {-1, -1};
  for (int y = 0; y < side; y += 2, cb += chromaWidth, cr += chromaWidth) {
    const int rows[2] = {y / size.scale, (y + 1) / size.scale};
    if (rows[0] == previous[0] && rows[1] == previous[1]) {
      memcpy(cb, cb - chromaWidth, side / 2);
      memcpy(cr, cr - chromaWidth, side / 2);
    } else {
      ChromaRow(converted, rows, columns, cb, cr);
    }
    previous[0] = rows[0];
    previous[1] = rows[1];
  }
}

namespace {

// ---- Child processes ----

// A file with no name, for what a child writes and is read back: it
// cannot be left behind, whatever ends the capture.
int UnnamedFile() {
  std::string pattern = CAPTURETemporaryFolder() + "/intro-capture-XXXXXX";
  const int fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd >= 0) unlink(pattern.c_str());
  return fd;
}

void CloseFd(int* fd) {
  if (*fd >= 0) close(*fd);
  *fd = -1;
}

// A descriptor the child gets as `target`.
struct Handed {
  int target;
  int source;
};

// Starts `program` with the arguments and the descriptors handed over;
// its standard input is empty unless handed. Returns -1 with errno set.
pid_t Spawn(const std::string& program, const std::vector<std::string>& args, std::initializer_list<Handed> handed) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  // Each descriptor is handed from a copy above the targets, so that one
  // handed as 3 cannot overwrite another that happens to be 3 here.
  std::vector<int> copies;
  for (const Handed& h : handed) copies.push_back(fcntl(h.source, F_DUPFD_CLOEXEC, 10));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  size_t i = 0;
  for (const Handed& h : handed) posix_spawn_file_actions_adddup2(&actions, copies[i++], h.target);
  pid_t pid = -1;
  int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  for (int copy : copies) {
    if (copy < 0) error = EMFILE;
    if (copy >= 0) close(copy);
  }
  if (error != 0) {
    errno = error;
    return -1;
  }
  return pid;
}

// The child's exit status, or minus the signal that ended it.
int Wait(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -SIGKILL;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

std::string ReadAll(int fd) {
  std::string text;
  if (lseek(fd, 0, SEEK_SET) != 0) return text;
  char buffer[4096];
  ssize_t got;
  while ((got = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
  return text;
}

// Why a child failed, in its own words where it gave any.
std::string Reason(int messagesFd, const std::string& program, int status, const std::string& output = "") {
  return CAPTUREChildReason(ReadAll(messagesFd), program, status, "/dev/fd/4", output);
}

// Copies everything from a pipe into a file.
bool Drain(int from, int to) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(from, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = write(to, buffer + done, static_cast<size_t>(got - done));
      if (put < 0 && errno != EINTR) return false;
      if (put > 0) done += put;
    }
  }
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t put = write(fd, data, size);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

// ---- The sound ----

std::string KeyName(uint8_t key) {
  if (key == ' ') return "space";
  if (key == 27) return "esc";
  return std::string(1, static_cast<char>(key));
}

// The options that decide the sound, for the child capture that plays it.
std::vector<std::string> SoundArguments(const CAPTUREOptions& options) {
  std::vector<std::string> args = {"--quiet", "--frames", std::to_string(options.frames), "--from",
                                   std::to_string(options.from), "--wav", "/dev/stdout"};
  if (!options.keys.empty()) {
    std::string keys;
    for (const CAPTUREKey& key : options.keys)
      keys += (keys.empty() ? "" : ",") + std::to_string(key.frame) + ":" + KeyName(key.key);
    args.insert(args.end(), {"--keys", keys});
  }
  return args;
}

// Plays the run in a child capture and keeps its sound, as a WAV file,
// in `soundFd`.
std::string RecordSound(const CAPTUREOptions& options, const std::string& self, int soundFd) {
  int pipeFds[2];
  const int messages = UnnamedFile();
  if (messages < 0 || pipe2(pipeFds, O_CLOEXEC) != 0) {
    const std::string error = CAPTURETemporaryFailure(errno);
    if (messages >= 0) close(messages);
    return "cannot play the sound for the video: " + error;
  }
  const pid_t child = Spawn(self, SoundArguments(options), {{1, pipeFds[1]}, {2, messages}});
  const int spawnError = errno;
  close(pipeFds[1]);
  const bool drained = child > 0 && Drain(pipeFds[0], soundFd);
  const int drainError = errno;
  close(pipeFds[0]);
  std::string error;
  if (child < 0) {
    error = "cannot start " + self + ": " + strerror(spawnError);
  } else if (const int status = Wait(child); !drained) {
    // A copy that failed (a full temporary folder) stopped the child too.
    error = "cannot keep the sound for the video: " + CAPTURETemporaryFailure(drainError);
  } else if (status != 0) {
    error = "cannot play the sound for the video: " + Reason(messages, "the capture", status);
  }
  close(messages);
  return error;
}

// A number that ffmpeg's loudness filter prints as  "name" : "-31.44".
bool ReadMeasure(const std::string& text, const std::string& name, double* value) {
  const size_t at = text.rfind("\"" + name + "\"");
  if (at == std::string::npos) return false;
  const size_t quote = text.find('"', text.find(':', at));
  if (quote == std::string::npos) return false;
  char* end = nullptr;
  *value = strtod(text.c_str() + quote + 1, &end);
  return end != text.c_str() + quote + 1;
}

// Measures the sound's integrated loudness and true peak with ffmpeg, and
// decides the gain that brings it to the loudness video sites play at.
std::string MeasureSound(const std::string& ffmpeg, int soundFd, CAPTURESoundLevels* levels) {
  const int messages = UnnamedFile();
  if (messages < 0) return "cannot measure the sound: " + CAPTURETemporaryFailure(errno);
  const pid_t child = Spawn(ffmpeg, {"-hide_banner", "-nostdin", "-nostats", "-i", "/dev/fd/3", "-af",
                                     "loudnorm=print_format=json", "-f", "null", "-"},
                            {{1, messages}, {2, messages}, {3, soundFd}});
  std::string error;
  if (child < 0) {
    error = "cannot start " + ffmpeg + ": " + strerror(errno);
  } else if (const int status = Wait(child); status != 0) {
    error = "ffmpeg could not measure the sound: " + Reason(messages, "ffmpeg", status);
  } else {
    const std::string text = ReadAll(messages);
    if (!ReadMeasure(text, "input_i", &levels->loudness) || !ReadMeasure(text, "input_tp", &levels->truePeak))
      error = "ffmpeg gave no loudness for the sound";
  }
  close(messages);
  // Silence, or too little sound to measure, keeps its level.
  if (error.empty() && std::isfinite(levels->loudness) && levels->loudness > -70) {
    levels->adjusted = true;
    levels->gain = CAPTUREVideoLoudness - levels->loudness;
    levels->limited = levels->truePeak + levels->gain > CAPTUREVideoPeakCeiling;
  }
  return error;
}

// The gain, and where it would lift peaks past the ceiling, a limiter
// working at four times the rate, where the peaks between samples show.
std::string SoundFilter(const CAPTURESoundLevels& levels) {
  char filter[200];
  if (!levels.limited) {
    snprintf(filter, sizeof filter, "volume=%.2fdB", levels.gain);
  } else {
    const int rate = CAPTURESampleRate;
    snprintf(filter, sizeof filter,
             "volume=%.2fdB,aresample=%d,alimiter=limit=%.4f:level=disabled:latency=enabled,aresample=%d",
             levels.gain, 4 * rate, std::pow(10.0, CAPTUREVideoPeakCeiling / 20), rate);
  }
  return filter;
}

// ---- The encoder ----

// x264's fastest preset keeps a whole loop at 1080p faster than real time
// on two cores; with CABAC on (the preset turns it off) the files are 40 to
// 60% smaller for a tenth more time. Without deblocking (also off in the
// preset), the pixels' edges stay sharp. The animation tuning adds two
// B-frames, which the moving beams need. crf 16 keeps every scene above
// 45 dB against the frames themselves.
constexpr const char* kPreset = "ultrafast";
constexpr const char* kTune = "animation";
constexpr const char* kCrf = "16";
constexpr const char* kX264Options = "cabac=1";
constexpr const char* kSoundBitrate = "160k";

std::vector<std::string> EncoderArguments(const CAPTUREVideoSize& size, const CAPTURESoundLevels& levels) {
  const std::string frameSize = std::to_string(size.width) + "x" + std::to_string(size.height);
  std::vector<std::string> args = {
      // Each line tagged with its level: the errors are read back, and the
      // note of a signal that stopped ffmpeg (at level info).
      "-hide_banner", "-nostdin", "-nostats", "-loglevel", "level+info",
      // The frames on standard input, the sound as descriptor 3.
      "-f", "rawvideo", "-pixel_format", "yuv420p", "-video_size", frameSize,
      "-framerate", std::to_string(TORVELINFrameRate), "-i", "pipe:0",
      "-f", "wav", "-i", "/dev/fd/3", "-map", "0:v", "-map", "1:a",
      "-c:v", "libx264", "-preset", kPreset, "-tune", kTune, "-crf", kCrf,
      "-x264-params", kX264Options, "-pix_fmt", "yuv420p",
      "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709", "-color_range", "tv",
      "-c:a", "aac", "-b:a", kSoundBitrate};
  if (levels.adjusted) args.insert(args.end(), {"-af", SoundFilter(levels)});
  // The temporary file as descriptor 4: opened through it, it can never
  // be made anew under its name once a stop signal has removed it.
  args.insert(args.end(), {"-movflags", "+faststart", "-f", "mp4", "-y", "/dev/fd/4"});
  return args;
}

std::string DescribeLevels(const CAPTURESoundLevels& levels) {
  if (!levels.adjusted) return "sound: too quiet to measure, kept as it is";
  char text[200];
  const int length = snprintf(text, sizeof text,
                              "sound: %.1f LUFS, true peak %.1f dBTP; raised %.1f dB to about %.0f LUFS",
                              levels.loudness, levels.truePeak, levels.gain, CAPTUREVideoLoudness);
  if (levels.limited)
    snprintf(text + length, sizeof text - length, ", peaks limited by up to %.1f dB",
             levels.truePeak + levels.gain - CAPTUREVideoPeakCeiling);
  return text;
}

// Waits for the encoder to end: empty text when it finished the file,
// else its reason.
std::string WaitForEncoder(CAPTUREVideo* video) {
  const int status = Wait(video->encoder);
  video->encoder = -1;
  if (status == 0) return {};
  return "ffmpeg could not make " + video->file.name + ": " +
         Reason(video->encoderMessages, "ffmpeg", status, video->file.name);
}

}  // namespace

std::string CAPTUREFindFfmpeg(std::string* path) {
#if defined(__EMSCRIPTEN__)
  // The WebAssembly build cannot start other programs.
  (void)path;
  return "this build makes no videos: --video needs the native intro-capture";
#endif
  const char* searchPath = getenv("PATH");
  std::string folders = searchPath != nullptr ? searchPath : "";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    const std::string candidate = folder + "/ffmpeg";
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0) {
      *path = candidate;
      return {};
    }
    start = end + 1;
  }
  return "--video needs ffmpeg, which is not on PATH: install the Debian package ffmpeg (apt install ffmpeg)";
}

std::string CAPTUREVideoOpen(CAPTUREVideo* video, const CAPTUREOptions& options, const std::string& ffmpeg,
                             const std::string& self) {
  if (!CAPTUREVideoSizeFor(options.videoLines, &video->size)) return "unknown video size";
  // An MP4 is finished by going back to its start: it needs a file.
  const std::string refusal = "a video needs a file, not a device or a pipe";
  if (std::string error = OUTFILEOpenFile(&video->file, options.videoPath, refusal); !error.empty()) return error;
  std::string error;
  int framePipe[2] = {-1, -1};
  const int sound = UnnamedFile();
  if (sound < 0) error = "cannot keep the sound for the video: " + CAPTURETemporaryFailure(errno);
  if (error.empty()) error = RecordSound(options, self, sound);
  if (error.empty() && options.videoLoudness) error = MeasureSound(ffmpeg, sound, &video->levels);
  if (error.empty() && options.videoLoudness && !options.quiet) fprintf(stderr, "%s\n", DescribeLevels(video->levels).c_str());
  if (error.empty()) {
    video->encoderMessages = UnnamedFile();
    if (video->encoderMessages < 0 || pipe2(framePipe, O_CLOEXEC) != 0)
      error = "cannot start ffmpeg: " + CAPTURETemporaryFailure(errno);
  }
  if (error.empty()) {
    const std::vector<std::string> args = EncoderArguments(video->size, video->levels);
    video->encoder = Spawn(ffmpeg, args,
                           {{0, framePipe[0]}, {1, video->encoderMessages}, {2, video->encoderMessages},
                            {3, sound}, {4, fileno(video->file.stream)}});
    if (video->encoder < 0) error = "cannot start " + ffmpeg + ": " + strerror(errno);
  }
  if (framePipe[0] >= 0) close(framePipe[0]);
  video->frames = framePipe[1];
  if (sound >= 0) close(sound);
  if (!error.empty()) CAPTUREVideoDiscard(video);
  return error;
}

std::string CAPTUREVideoWrite(CAPTUREVideo* video, const uint32_t* pixels) {
  CAPTUREVideoFrame(pixels, video->size, &video->yuv);
  if (WriteAll(video->frames, video->yuv.data(), video->yuv.size())) return {};
  const int error = errno;
  // A closed pipe means the encoder stopped: its own words say why.
  CloseFd(&video->frames);
  const std::string message =
      error == EPIPE ? WaitForEncoder(video) : std::string("cannot hand the frames to ffmpeg: ") + strerror(error);
  CAPTUREVideoDiscard(video);
  return message;
}

std::string CAPTUREVideoClose(CAPTUREVideo* video) {
  CloseFd(&video->frames);
  const std::string error = WaitForEncoder(video);
  CloseFd(&video->encoderMessages);
  if (!error.empty()) {
    OUTFILEDiscard(&video->file);
    return error;
  }
  return OUTFILECommit(&video->file);
}

void CAPTUREVideoDiscard(CAPTUREVideo* video) {
  CloseFd(&video->frames);
  if (video->encoder > 0) {
    kill(video->encoder, SIGKILL);
    Wait(video->encoder);
    video->encoder = -1;
  }
  CloseFd(&video->encoderMessages);
  OUTFILEDiscard(&video->file);
}
