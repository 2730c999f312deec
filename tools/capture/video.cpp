#include "video.hpp"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "child_messages.hpp"
#include "image/img_enlarge.hpp"

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

// A pixel's luma and colour differences in one word (Y in bits 16 to 23,
// Cb in 8 to 15, Cr in 0 to 7), so that the frame can be enlarged as any
// picture of words is.
uint32_t PackedYuv(uint32_t rgb) {
  const Yuv yuv = ToYuv(rgb);
  return uint32_t{yuv.y} << 16 | uint32_t{yuv.cb} << 8 | yuv.cr;
}

uint8_t LumaOf(uint32_t packed) { return static_cast<uint8_t>(packed >> 16); }

// One chroma row: each value the mean of the 2 x 2 enlarged pixels it
// covers, on enlarged rows `upper` and `lower`.
void ChromaRow(const uint32_t* upper, const uint32_t* lower, int side, uint8_t* cb, uint8_t* cr) {
  for (int i = 0; i < side / 2; ++i) {
    int sumCb = 2, sumCr = 2;
    for (uint32_t pixel : {upper[2 * i], upper[2 * i + 1], lower[2 * i], lower[2 * i + 1]}) {
      sumCb += static_cast<int>(pixel >> 8 & 255);
      sumCr += static_cast<int>(pixel & 255);
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

std::string CAPTUREVideoSizeNote(const CAPTUREVideoSize& size) {
  if (size.scale % 2 == 0) return {};
  return "note: --video-size " + std::to_string(size.height) + " enlarges " + std::to_string(size.scale) +
         " times, an odd factor, which softens the colour at the pixels' edges; 1080 and 2160 keep it exact";
}

void CAPTUREVideoFrame(const uint32_t* pixels, const CAPTUREVideoSize& size, CAPTUREVideoPicture* picture) {
  const size_t lumaBytes = static_cast<size_t>(size.width) * size.height;
  if (picture->yuv.size() != lumaBytes * 3 / 2) Blacken(size, &picture->yuv);
  const int side = kSide * size.scale;
  // The buffers are sized by the first frame and reused by every other.
  picture->packed.resize(kSide * kSide);
  picture->enlarged.resize(static_cast<size_t>(side) * side);
  for (int i = 0; i < kSide * kSide; ++i) picture->packed[i] = PackedYuv(pixels[i]);
  IMGEnlargeWords(picture->packed.data(), kSide, kSide, kSide, size.scale, picture->enlarged.data(),
                  static_cast<size_t>(side) * 4);
  const int left = (size.width - side) / 2;
  const int top = (size.height - side) / 2;
  // Luma, one value per pixel. A row like the one above is copied.
  uint8_t* luma = picture->yuv.data();
  for (int y = 0; y < side; ++y) {
    uint8_t* row = luma + static_cast<size_t>(top + y) * size.width + left;
    if (y % size.scale != 0) {
      memcpy(row, row - size.width, side);
      continue;
    }
    const uint32_t* source = &picture->enlarged[static_cast<size_t>(y) * side];
    for (int x = 0; x < side; ++x) row[x] = LumaOf(source[x]);
  }
  // Chroma, one value per 2 x 2 luma pixels. An even factor never puts
  // two source pixels under one value, so colours stay exact; under an odd
  // one, the pixels' edges get the mean. A row like the one above is copied.
  const int chromaWidth = size.width / 2;
  uint8_t* cb = luma + lumaBytes + static_cast<size_t>(top / 2) * chromaWidth + left / 2;
  uint8_t* cr = cb + lumaBytes / 4;
  for (int y = 0; y < side; y += 2, cb += chromaWidth, cr += chromaWidth) {
    const bool likeAbove = y > 0 && y / size.scale == (y - 2) / size.scale && (y + 1) / size.scale == (y - 1) / size.scale;
    if (likeAbove) {
      memcpy(cb, cb - chromaWidth, side / 2);
      memcpy(cr, cr - chromaWidth, side / 2);
    } else {
      const uint32_t* upper = &picture->enlarged[static_cast<size_t>(y) * side];
      ChromaRow(upper, upper + side, side, cb, cr);
    }
  }
}

namespace {

// ---- Child processes ----

void CloseFd(int* fd) {
  if (*fd >= 0) close(*fd);
  *fd = -1;
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
std::string Reason(int messagesFd, const std::string& program, int status, const OUTFILE* output = nullptr) {
  if (output == nullptr) return CAPTUREChildReason(ReadAll(messagesFd), program, status);
  return CAPTUREChildReason(ReadAll(messagesFd), program, status, VIDEOOutputName(*output), output->name);
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
                                   std::to_string(options.from), "--wav", "-"};
  if (!options.keys.empty()) {
    std::string keys;
    for (const CAPTUREKey& key : options.keys)
      keys += (keys.empty() ? "" : ",") + std::to_string(key.frame) + ":" + KeyName(key.key);
    args.insert(args.end(), {"--keys", keys});
  }
  return args;
}

// Plays the run in a child capture and keeps its sound, as a WAV file,
// in `sound`.
std::string RecordSound(const CAPTUREOptions& options, const std::string& self, const VIDEOScratch& sound) {
  int pipeFds[2];
  VIDEOScratch messages;
  if (!VIDEOOpenScratch(&messages) || !VIDEOPipe(pipeFds)) {
    const std::string error = CAPTURETemporaryFailure(errno);
    VIDEOCloseScratch(&messages);
    return "cannot play the sound for the video: " + error;
  }
  VIDEOStreams streams;
  streams.out = pipeFds[1];
  streams.err = messages.fd;
  const VIDEOChild child = VIDEOStart(self, SoundArguments(options), streams);
  const int spawnError = errno;
  close(pipeFds[1]);
  const bool drained = child != VIDEONoChild && Drain(pipeFds[0], sound.fd);
  const int drainError = errno;
  close(pipeFds[0]);
  std::string error;
  if (child == VIDEONoChild) {
    error = "cannot start " + self + ": " + strerror(spawnError);
  } else if (const int status = VIDEOWait(child); !drained) {
    // A copy that failed (a full temporary folder) stopped the child too.
    error = "cannot keep the sound for the video: " + CAPTURETemporaryFailure(drainError);
  } else if (status != 0) {
    error = "cannot play the sound for the video: " + Reason(messages.fd, "the capture", status);
  }
  VIDEOCloseScratch(&messages);
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

// The video's sound goes out at 48000 Hz, the rate video sites keep; the
// resampler is the best this ffmpeg has.
std::string Resample(int rate, bool soxr) {
  const std::string engine = soxr ? ":resampler=soxr:precision=28" : ":filter_size=128:phase_shift=12:cutoff=0.97";
  return "aresample=" + std::to_string(rate) + engine;
}

// The gain, and where it would lift peaks past the ceiling, a limiter
// working at four times the video's rate, where the peaks between samples
// show; then the video's rate.
std::string SoundFilter(const CAPTURESoundLevels& levels, bool soxr) {
  const int rate = CAPTUREVideoSampleRate;
  if (!levels.adjusted) return Resample(rate, soxr);
  char filter[200];
  snprintf(filter, sizeof filter, "volume=%.2fdB,", levels.gain);
  if (!levels.limited) return filter + Resample(rate, soxr);
  char limiter[100];
  snprintf(limiter, sizeof limiter, ",alimiter=limit=%.4f:level=disabled:latency=enabled,",
           std::pow(10.0, CAPTUREVideoPeakCeiling / 20));
  return filter + Resample(4 * rate, soxr) + limiter + Resample(rate, soxr);
}

// Whether this ffmpeg was built with the SoX resampler.
bool HasSoxr(const std::string& ffmpeg) {
  VIDEOScratch messages;
  if (!VIDEOOpenScratch(&messages)) return false;
  VIDEOStreams streams;
  streams.out = streams.err = messages.fd;
  const VIDEOChild child = VIDEOStart(ffmpeg, {"-hide_banner", "-buildconf"}, streams);
  const bool has = child != VIDEONoChild && VIDEOWait(child) == 0 &&
                   ReadAll(messages.fd).find("--enable-libsoxr") != std::string::npos;
  VIDEOCloseScratch(&messages);
  return has;
}

// The integrated loudness and true peak of the sound after `filter` (none
// when empty), as ffmpeg measures them.
std::string Measure(const std::string& ffmpeg, const VIDEOScratch& sound, const std::string& filter,
                    double* loudness, double* truePeak) {
  VIDEOScratch messages;
  if (!VIDEOOpenScratch(&messages)) return "cannot measure the sound: " + CAPTURETemporaryFailure(errno);
  VIDEOStreams streams;
  streams.out = streams.err = messages.fd;
  streams.input = &sound;
  const std::string filters = (filter.empty() ? "" : filter + ",") + "loudnorm=print_format=json";
  const VIDEOChild child = VIDEOStart(
      ffmpeg, {"-hide_banner", "-nostdin", "-nostats", "-i", sound.name, "-af", filters, "-f", "null", "-"}, streams);
  std::string error;
  if (child == VIDEONoChild) {
    error = "cannot start " + ffmpeg + ": " + strerror(errno);
  } else if (const int status = VIDEOWait(child); status != 0) {
    error = "ffmpeg could not measure the sound: " + Reason(messages.fd, "ffmpeg", status);
  } else {
    const std::string text = ReadAll(messages.fd);
    if (!ReadMeasure(text, "input_i", loudness) || !ReadMeasure(text, "input_tp", truePeak))
      error = "ffmpeg gave no loudness for the sound";
  }
  VIDEOCloseScratch(&messages);
  return error;
}

// Measures the sound and decides the gain that brings it to the loudness
// video sites play at. Where the limiter holds the peaks back it takes
// some loudness with them: the limited sound is measured again and what
// it lacks added, twice at most.
std::string MeasureSound(const std::string& ffmpeg, const VIDEOScratch& sound, bool soxr, CAPTURESoundLevels* levels) {
  if (std::string error = Measure(ffmpeg, sound, "", &levels->loudness, &levels->truePeak); !error.empty())
    return error;
  // Silence, or too little sound to measure, keeps its level.
  if (!std::isfinite(levels->loudness) || levels->loudness <= -70) return {};
  levels->adjusted = true;
  levels->gain = CAPTUREVideoLoudness - levels->loudness;
  levels->limited = levels->truePeak + levels->gain > CAPTUREVideoPeakCeiling;
  for (int round = 0; round < 2 && levels->limited; ++round) {
    double loudness = 0, truePeak = 0;
    if (std::string error = Measure(ffmpeg, sound, SoundFilter(*levels, soxr), &loudness, &truePeak); !error.empty())
      return error;
    const double shortfall = CAPTUREVideoLoudness - loudness;
    if (!std::isfinite(shortfall) || std::fabs(shortfall) < 0.2) break;
    levels->gain += shortfall;
  }
  return {};
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
// High profile (its 8x8 transform on) and closed groups of pictures with
// a keyframe every 2 seconds, as video sites ask for.
constexpr const char* kProfile = "high";
constexpr const char* kKeyframeInterval = "100";
constexpr const char* kX264Options = "cabac=1:8x8dct=1:open-gop=0";
constexpr const char* kSoundBitrate = "160k";

std::vector<std::string> EncoderArguments(const CAPTUREVideo& video, bool soxr) {
  const CAPTUREVideoSize& size = video.size;
  const std::string frameSize = std::to_string(size.width) + "x" + std::to_string(size.height);
  std::vector<std::string> args = {
      // Each line tagged with its level: the errors are read back, and the
      // note of a signal that stopped ffmpeg (at level info).
      "-hide_banner", "-nostdin", "-nostats", "-loglevel", "level+info",
      // The frames on standard input, then the sound.
      "-f", "rawvideo", "-pixel_format", "yuv420p", "-video_size", frameSize,
      "-framerate", std::to_string(TORVELINFrameRate), "-i", "pipe:0",
      "-f", "wav", "-i", video.sound.name, "-map", "0:v", "-map", "1:a",
      "-c:v", "libx264", "-preset", kPreset, "-tune", kTune, "-crf", kCrf,
      "-profile:v", kProfile, "-g", kKeyframeInterval, "-x264-params", kX264Options, "-pix_fmt", "yuv420p",
      "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709", "-color_range", "tv",
      "-c:a", "aac", "-profile:a", "aac_low", "-b:a", kSoundBitrate, "-ar", std::to_string(CAPTUREVideoSampleRate),
      "-af", SoundFilter(video.levels, soxr)};
  args.insert(args.end(), {"-movflags", "+faststart", "-f", "mp4", "-y", VIDEOOutputName(video.file)});
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
  const int status = VIDEOWait(video->encoder);
  video->encoder = VIDEONoChild;
  if (status == 0) return {};
  return "ffmpeg could not make " + video->file.name + ": " + Reason(video->messages.fd, "ffmpeg", status, &video->file);
}

// Plays the run for its sound and, where the loudness is to be raised,
// measures it. `soxr`: this ffmpeg has the best resampler.
std::string PrepareSound(CAPTUREVideo* video, const CAPTUREOptions& options, const std::string& ffmpeg,
                         const std::string& self, bool* soxr) {
  if (!VIDEOOpenScratch(&video->sound)) return "cannot keep the sound for the video: " + CAPTURETemporaryFailure(errno);
  if (std::string error = RecordSound(options, self, video->sound); !error.empty()) return error;
  *soxr = HasSoxr(ffmpeg);
  if (!options.videoLoudness) return {};
  if (std::string error = MeasureSound(ffmpeg, video->sound, *soxr, &video->levels); !error.empty()) return error;
  if (!options.quiet) fprintf(stderr, "%s\n", DescribeLevels(video->levels).c_str());
  return {};
}

// Starts the encoder with the frames' pipe as its standard input.
std::string StartEncoder(CAPTUREVideo* video, const std::string& ffmpeg, bool soxr) {
  int framePipe[2] = {-1, -1};
  if (!VIDEOOpenScratch(&video->messages) || !VIDEOPipe(framePipe))
    return "cannot start ffmpeg: " + CAPTURETemporaryFailure(errno);
  VIDEOStreams streams;
  streams.in = framePipe[0];
  streams.out = streams.err = video->messages.fd;
  streams.input = &video->sound;
  streams.output = &video->file;
  video->encoder = VIDEOStart(ffmpeg, EncoderArguments(*video, soxr), streams);
  const int startError = errno;
  close(framePipe[0]);
  video->frames = framePipe[1];
  if (video->encoder == VIDEONoChild) return "cannot start " + ffmpeg + ": " + strerror(startError);
  return {};
}

}  // namespace

std::string CAPTUREVideoOpen(CAPTUREVideo* video, const CAPTUREOptions& options, const std::string& ffmpeg,
                             const std::string& self) {
  if (!CAPTUREVideoSizeFor(options.videoLines, &video->size)) return "unknown video size";
  if (const std::string note = CAPTUREVideoSizeNote(video->size); !note.empty() && !options.quiet)
    fprintf(stderr, "%s\n", note.c_str());
  // An MP4 is finished by going back to its start: it needs a file.
  const std::string refusal = "a video needs a file, not a device or a pipe";
  if (std::string error = OUTFILEOpenFile(&video->file, options.videoPath, refusal); !error.empty()) return error;
  bool soxr = false;
  std::string error = PrepareSound(video, options, ffmpeg, self, &soxr);
  if (error.empty()) error = StartEncoder(video, ffmpeg, soxr);
  if (!error.empty()) CAPTUREVideoDiscard(video);
  return error;
}

std::string CAPTUREVideoWrite(CAPTUREVideo* video, const uint32_t* pixels) {
  CAPTUREVideoFrame(pixels, video->size, &video->picture);
  if (WriteAll(video->frames, video->picture.yuv.data(), video->picture.yuv.size())) return {};
  const int error = errno;
  // A pipe that takes no more frames most often means that the encoder
  // stopped (EPIPE here, EINVAL on Windows): its own words say why.
  CloseFd(&video->frames);
  std::string message = WaitForEncoder(video);
  if (message.empty()) message = std::string("cannot hand the frames to ffmpeg: ") + strerror(error);
  CAPTUREVideoDiscard(video);
  return message;
}

std::string CAPTUREVideoClose(CAPTUREVideo* video) {
  CloseFd(&video->frames);
  const std::string error = WaitForEncoder(video);
  VIDEOCloseScratch(&video->messages);
  VIDEOCloseScratch(&video->sound);
  if (!error.empty()) {
    OUTFILEDiscard(&video->file);
    return error;
  }
  return OUTFILECommit(&video->file);
}

void CAPTUREVideoDiscard(CAPTUREVideo* video) {
  CloseFd(&video->frames);
  if (video->encoder != VIDEONoChild) {
    VIDEOKill(video->encoder);
    video->encoder = VIDEONoChild;
  }
  VIDEOCloseScratch(&video->messages);
  VIDEOCloseScratch(&video->sound);
  OUTFILEDiscard(&video->file);
}
