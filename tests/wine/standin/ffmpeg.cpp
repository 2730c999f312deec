// A stand-in for ffmpeg.exe, for testing torvelin-capture --video under
// wine where no real ffmpeg can be had. It answers the three runs the
// capture makes, as ffmpeg would be asked them:
//   -buildconf                      prints a configuration without soxr
//   ... -i SOUND -af ...loudnorm=...  checks the WAV file, prints its
//                                   loudness: -31 LUFS raised by the
//                                   filter's volume= gain, if any
//   ... -i pipe:0 ... -i SOUND OUT  reads every frame from standard input,
//                                   checks the frames and the sound, and
//                                   writes what it got to OUT as lines of
//                                   name=value
// Any fault gives a line on standard error and status 1; with
// STANDIN_GIVE_UP in the environment the encoder gives up at once, as an
// ffmpeg without the encoder would.
#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::wstring& wide) { return std::string(wide.begin(), wide.end()); }

int Fail(const std::string& why) {
  fprintf(stderr, "[standin @ 0x1] %s\n", why.c_str());
  return 1;
}

// The value after an option, or empty; `nth` counts repeats from 0.
std::wstring After(const std::vector<std::wstring>& args, const wchar_t* option, int nth = 0) {
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == option && nth-- == 0) return args[i + 1];
  return {};
}

uint32_t Little(const uint8_t* at, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | at[i];
  return value;
}

// A 16-bit mono 44100 Hz WAV file whose header announces what it holds.
bool ReadSound(const std::wstring& name, uint32_t* values, std::string* why) {
  FILE* file = _wfopen(name.c_str(), L"rb");
  if (file == nullptr) return *why = "cannot open the sound " + Narrow(name), false;
  std::vector<uint8_t> bytes;
  uint8_t buffer[65536];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
  fclose(file);
  if (bytes.size() < 44 || std::string(bytes.begin(), bytes.begin() + 4) != "RIFF") return *why = "no WAV header", false;
  if (Little(&bytes[22], 2) != 1 || Little(&bytes[24], 4) != 44100 || Little(&bytes[34], 2) != 16)
    return *why = "not 44100 Hz mono 16-bit", false;
  const uint32_t dataBytes = Little(&bytes[40], 4);
  if (dataBytes != bytes.size() - 44) return *why = "the header announces " + std::to_string(dataBytes) +
                                                    " bytes of sound, the file holds " +
                                                    std::to_string(bytes.size() - 44), false;
  *values = dataBytes / 2;
  return true;
}

int Measure(const std::vector<std::wstring>& args) {
  uint32_t values = 0;
  std::string why;
  if (!ReadSound(After(args, L"-i"), &values, &why)) return Fail(why);
  const std::wstring filter = After(args, L"-af");
  const size_t volume = filter.find(L"volume=");
  const double gain = volume == std::wstring::npos ? 0 : wcstod(filter.c_str() + volume + 7, nullptr);
  fprintf(stderr, "{\n\t\"input_i\" : \"%.2f\",\n\t\"input_tp\" : \"-10.00\",\n\t\"values\" : \"%u\"\n}\n",
          -31 + gain, values);
  return 0;
}

int Encode(const std::vector<std::wstring>& args) {
  if (_wgetenv(L"STANDIN_GIVE_UP") != nullptr) {
    Fail("no encoder here");
    fputs("Conversion failed!\n", stderr);
    return 1;
  }
  int width = 0, height = 0;
  if (swscanf(After(args, L"-video_size").c_str(), L"%dx%d", &width, &height) != 2) return Fail("no -video_size");
  if (After(args, L"-pixel_format") != L"yuv420p") return Fail("the frames are not yuv420p");
  if (After(args, L"-i") != L"pipe:0") return Fail("the frames do not come on standard input");
  _setmode(_fileno(stdin), _O_BINARY);
  uint64_t bytes = 0;
  static char buffer[1 << 20];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, stdin)) > 0) bytes += got;
  const uint64_t frameBytes = static_cast<uint64_t>(width) * height * 3 / 2;
  if (bytes % frameBytes != 0) return Fail("the frames end in the middle of one");
  uint32_t values = 0;
  std::string why;
  if (!ReadSound(After(args, L"-i", 1), &values, &why)) return Fail(why);
  FILE* out = _wfopen(args.back().c_str(), L"wb");
  if (out == nullptr) return Fail("cannot write " + Narrow(args.back()));
  fprintf(out, "size=%dx%d\nframes=%llu\nsound_values=%u\nprofile=%s\nkeyframes=%s\naudio_rate=%s\nfilter=%s\n",
          width, height, static_cast<unsigned long long>(bytes / frameBytes), values,
          Narrow(After(args, L"-profile:v")).c_str(), Narrow(After(args, L"-g")).c_str(),
          Narrow(After(args, L"-ar")).c_str(), Narrow(After(args, L"-af")).c_str());
  return fclose(out) == 0 ? 0 : Fail("cannot finish " + Narrow(args.back()));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::wstring> args(argv + 1, argv + argc);
  for (const std::wstring& arg : args) {
    if (arg == L"-buildconf") return puts("  configuration: --enable-standin") < 0;
    if (arg.find(L"loudnorm") != std::wstring::npos) return Measure(args);
  }
  return Encode(args);
}
