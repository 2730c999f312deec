// intro-capture from the outside: its options, its files, its exit paths.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include "capture_run.hpp"

namespace {

using namespace capture_test;

std::string OneLine(const Result& r) {
  const std::vector<std::string> lines = Lines(r.err);
  return lines.size() == 1 ? lines[0] : "(" + std::to_string(lines.size()) + " lines) " + r.err;
}

// Decodes a PNG file to RGB bytes; empty when it is not a readable PNG.
std::vector<uint8_t> ReadPng(const std::string& path, int* width, int* height) {
  png_image image;
  memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  std::vector<uint8_t> rgb;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return rgb;
  image.format = PNG_FORMAT_RGB;
  rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) rgb.clear();
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  png_image_free(&image);
  return rgb;
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Temporaries (NAME.XXXXXX.part) left in a folder.
size_t Parts(const std::string& folder) {
  const std::vector<std::string> names = FolderNames(folder);
  return static_cast<size_t>(
      std::count_if(names.begin(), names.end(), [](const std::string& name) { return name.ends_with(".part"); }));
}

TEST(CaptureOptions, BadArgumentsGiveOneLineAndStatus2) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--quiet"},
      {"--raw", "--frames", "0"},
      {"--raw", "--frames", "-3"},
      {"--raw", "--frames", "12x"},
      {"--raw", "--frames", "1000000"},
      {"--raw", "--frames"},
      {"--raw", "--frames", "5", "--frames", "6"},
      {"--raw", "--scale", "5"},
      {"--raw", "--scale", "0"},
      {"--raw", "--scale=two"},
      {"--raw=yes"},
      {"--raw", "--keys", ""},
      {"--raw", "--keys", "120"},
      {"--raw", "--keys", "x:space"},
      {"--raw", "--keys", "10:space,"},
      {"--raw", "--keys", "10:zz"},
      {"--raw", "--keys", "10:o,10:p"},
      {"--raw", "--png", ""},
      {"--raw", "--frames", "5", "--from", "5"},
      {"--raw", "--from", "-1"},
      {"--raw", "--only", ""},
      {"--raw", "--only", "3,,4"},
      {"--raw", "--frames", "5", "--only", "2,5"},
      {"--raw", "--from", "3", "--only", "2"},
      {"--raw", "--loud"},
      {"frames"},
      {"--png", "--raw"},  // an option's name is never a value
      {"--raw", "--wav", "-q"},
      {"--video", "x.mp4", "--video-size", "720"},
      {"--video", "x.mp4", "--video-size", "1440", "--video-size", "2160"},
      {"--video", "x.mp4", "--video-loudness", "loud"},
      // Frames and sound on one standard output, under any of its names.
      {"--raw", "--wav", "-"},
      {"--raw", "--wav", "/dev/stdout"},
      {"--raw", "--wav", "/proc/self/fd/1"},
      // The exit key's fade ends the capture at frame 75, before --from.
      {"--frames", "200", "--from", "100", "--keys", "10:esc", "--raw"},
  };
  for (const auto& args : bad) {
    std::string joined;
    for (const auto& a : args) joined += "[" + a + "]";
    const Result r = RunCapture(args);
    EXPECT_EQ(r.status, 2) << joined;
    EXPECT_EQ(r.outBytes, 0u) << joined;
    const std::string line = OneLine(r);
    EXPECT_EQ(line.rfind("intro-capture: ", 0), 0u) << joined << " -> " << line;
  }
  EXPECT_FALSE(std::filesystem::exists("--raw"));
}

TEST(CaptureOptions, HelpExplainsEveryOptionWithAnFfmpegExample) {
  std::string out;
  const Result r = RunKeepingOutput({"--help"}, &out);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  for (const char* word : {"--frames", "--only", "--keys", "--png", "--raw", "--wav", "--scale", "--video", "--video-size",
                           "--video-loudness", "--quiet", "--help", "ffmpeg",
                           "rgb24", "44100"})
    EXPECT_NE(out.find(word), std::string::npos) << word;
}

TEST(CaptureFiles, ShortCaptureWritesOnePictureAndOneFramesWorthOfSoundPerFrame) {
  ScratchDir dir;
  const std::string frames = dir / "frames";
  std::string raw;
  const Result r = RunKeepingOutput({"--quiet", "--frames", "25", "--png", frames, "--wav", dir / "a.wav", "--raw"}, &raw);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  ASSERT_EQ(raw.size(), 25u * kFrameBytes);

  const std::vector<std::string> names = FolderNames(frames);
  ASSERT_EQ(names.size(), 25u);
  EXPECT_EQ(names.front(), "frame_000000.png");
  EXPECT_EQ(names.back(), "frame_000024.png");
  // The PNG files hold exactly the frames sent down the pipe.
  for (int i : {0, 13, 24}) {
    int width = 0;
    int height = 0;
    const std::vector<uint8_t> rgb = ReadPng(frames + "/" + names[static_cast<size_t>(i)], &width, &height);
    ASSERT_EQ(width, kSide);
    ASSERT_EQ(height, kSide);
    ASSERT_EQ(rgb.size(), static_cast<size_t>(kFrameBytes));
    EXPECT_EQ(memcmp(rgb.data(), raw.data() + static_cast<size_t>(i) * kFrameBytes, kFrameBytes), 0) << "frame " << i;
  }

  const Wav wav = ReadWav(dir / "a.wav");
  ASSERT_TRUE(wav.valid);
  EXPECT_EQ(wav.format, 1);
  EXPECT_EQ(wav.channels, 1);
  EXPECT_EQ(wav.rate, 44100);
  EXPECT_EQ(wav.bits, 16);
  EXPECT_EQ(wav.values.size(), 25u * kValuesPerFrame);
  EXPECT_TRUE(std::any_of(wav.values.begin(), wav.values.end(), [](int16_t v) { return v != 0; }))
      << "the music is silent";
  EXPECT_EQ(Parts(dir.path.string()), 0u);
}

// --from plays the start unwritten: what it writes is the tail of the
// whole capture, numbered and in step as there.
TEST(CaptureFiles, FromWritesOnlyTheTailOfTheSameCapture) {
  ScratchDir dir;
  std::string whole;
  std::string tail;
  ASSERT_EQ(RunKeepingOutput({"-q", "--frames", "30", "--raw", "--wav", dir / "whole.wav"}, &whole).status, 0);
  const Result r =
      RunKeepingOutput({"-q", "--frames", "30", "--from", "27", "--raw", "--wav", dir / "tail.wav", "--png", dir / "f"}, &tail);
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(tail.size(), 3u * kFrameBytes);
  EXPECT_EQ(whole.compare(27 * kFrameBytes, 3 * kFrameBytes, tail), 0);
  EXPECT_EQ(FolderNames(dir / "f"), (std::vector<std::string>{"frame_000027.png", "frame_000028.png", "frame_000029.png"}));
  const std::vector<int16_t> all = ReadWav(dir / "whole.wav").values;
  const std::vector<int16_t> end = ReadWav(dir / "tail.wav").values;
  ASSERT_EQ(all.size(), 30u * kValuesPerFrame);
  ASSERT_EQ(end.size(), 3u * kValuesPerFrame);
  EXPECT_TRUE(std::equal(end.begin(), end.end(), all.end() - static_cast<long>(end.size())));

  // --only writes just the frames it lists, in playing order, whatever the
  // order given; the sound still covers every frame from --from.
  std::string picked;
  ASSERT_EQ(RunKeepingOutput({"-q", "--frames", "30", "--from", "2", "--only", "28,3", "--raw", "--png", dir / "g",
                              "--wav", dir / "picked.wav"},
                             &picked)
                .status,
            0);
  ASSERT_EQ(picked.size(), 2u * kFrameBytes);
  EXPECT_EQ(whole.compare(3 * kFrameBytes, kFrameBytes, picked, 0, kFrameBytes), 0);
  EXPECT_EQ(whole.compare(28 * kFrameBytes, kFrameBytes, picked, kFrameBytes, kFrameBytes), 0);
  EXPECT_EQ(FolderNames(dir / "g"), (std::vector<std::string>{"frame_000003.png", "frame_000028.png"}));
  EXPECT_EQ(ReadWav(dir / "picked.wav").values.size(), 28u * kValuesPerFrame);
}

TEST(CaptureFiles, ProgressOnStandardErrorEndsWithAllFramesDone) {
  const Result r = RunCapture({"--frames", "12", "--raw"});
  ASSERT_EQ(r.status, 0);
  const std::vector<std::string> lines = Lines(r.err);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find(" 12/12 frames "), std::string::npos) << lines.back();
  EXPECT_NE(lines.back().find("frames/s"), std::string::npos) << lines.back();
  // A log (not a terminal) gets the final count once, even when its first
  // line already showed it.
  const Result one = RunCapture({"--frames", "1", "--raw"});
  ASSERT_EQ(one.status, 0);
  EXPECT_EQ(Lines(one.err).size(), 1u) << one.err;
}

TEST(CaptureFiles, SameArgumentsGiveTheSameBytes) {
  ScratchDir dir;
  const std::vector<std::string> args = {"-q", "--frames", "40", "--keys", "5:p,9:f,30:space", "--raw"};
  std::string first;
  std::string second;
  ASSERT_EQ(RunKeepingOutput(args, &first).status, 0);
  auto withWav = [&](const std::string& name) {
    std::vector<std::string> a = args;
    a.insert(a.end(), {"--wav", dir / name, "--png", dir / (name + ".frames")});
    return a;
  };
  ASSERT_EQ(RunKeepingOutput(withWav("one.wav"), &second).status, 0);
  EXPECT_TRUE(first == second);
  std::string third;
  ASSERT_EQ(RunKeepingOutput(withWav("two.wav"), &third).status, 0);
  EXPECT_TRUE(first == third);
  EXPECT_EQ(ReadFile(dir / "one.wav"), ReadFile(dir / "two.wav"));
  for (const std::string& name : FolderNames(dir / "one.wav.frames"))
    EXPECT_EQ(ReadFile(dir / ("one.wav.frames/" + name)), ReadFile(dir / ("two.wav.frames/" + name))) << name;
}

TEST(CaptureFiles, ScaleRepeatsEveryPixelAcrossAndDown) {
  std::string plain;
  std::string big;
  ASSERT_EQ(RunKeepingOutput({"-q", "--frames", "3", "--raw"}, &plain).status, 0);
  ASSERT_EQ(RunKeepingOutput({"-q", "--frames", "3", "--raw", "--scale", "3"}, &big).status, 0);
  ASSERT_EQ(big.size(), plain.size() * 9);
  const size_t bigSide = kSide * 3;
  size_t mismatches = 0;
  for (size_t frame = 0; frame < 3; ++frame)
    for (size_t y = 0; y < bigSide; ++y)
      for (size_t x = 0; x < bigSide; ++x)
        for (size_t c = 0; c < 3; ++c) {
          const char want = plain[frame * kFrameBytes + ((y / 3) * kSide + x / 3) * 3 + c];
          if (big[frame * kFrameBytes * 9 + (y * bigSide + x) * 3 + c] != want) ++mismatches;
        }
  EXPECT_EQ(mismatches, 0u);
}

// A key goes down right after the frame of its number is shown: frames up
// to that one are the same as without the key.
TEST(CaptureKeys, KeyActsAfterTheFrameOfItsNumber) {
  std::string without;
  std::string with;
  ASSERT_EQ(RunKeepingOutput({"-q", "--frames", "40", "--raw"}, &without).status, 0);
  ASSERT_EQ(RunKeepingOutput({"-q", "--frames", "40", "--raw", "--keys", "20:f"}, &with).status, 0);
  ASSERT_EQ(with.size(), without.size());
  EXPECT_EQ(with.compare(0, 21 * kFrameBytes, without, 0, 21 * kFrameBytes), 0);
  EXPECT_NE(with.compare(21 * kFrameBytes, kFrameBytes, without, 21 * kFrameBytes, kFrameBytes), 0)
      << "the rate figure did not appear on the next frame";
}

// A key after the last frame changes nothing: a warning, and the frames asked for.
TEST(CaptureKeys, KeyPastTheEndWarnsAndStillWrites) {
  std::string raw;
  const Result late = RunKeepingOutput({"-q", "--keys", "8:f,50:space", "--frames", "10", "--raw"}, &raw);
  EXPECT_EQ(late.status, 0);
  EXPECT_EQ(raw.size(), 10u * kFrameBytes);
  EXPECT_EQ(OneLine(late),
            "intro-capture: warning: the key at frame 50 falls after the last frame (9) and changes nothing");
  const Result inTime = RunKeepingOutput({"-q", "--keys", "8:f", "--frames", "10", "--raw"}, &raw);
  EXPECT_EQ(inTime.status, 0);
  EXPECT_EQ(inTime.err, "");
}

TEST(CaptureKeys, ExitKeyEndsTheCaptureAfterItsFadeWithCompleteFiles) {
  ScratchDir dir;
  std::string raw;
  const Result r =
      RunKeepingOutput({"-q", "--frames", "1000", "--keys", "10:esc", "--raw", "--wav", dir / "fade.wav"}, &raw);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  constexpr size_t kFrames = 11 + 64;  // frames 0 to 10, then the fade
  ASSERT_EQ(raw.size(), kFrames * kFrameBytes);
  EXPECT_TRUE(std::all_of(raw.end() - kFrameBytes, raw.end(), [](char c) { return c == 0; }));
  EXPECT_FALSE(std::all_of(raw.end() - 2 * kFrameBytes, raw.end() - kFrameBytes, [](char c) { return c == 0; }))
      << "the fade reached black before its last step";
  const Wav wav = ReadWav(dir / "fade.wav");
  ASSERT_TRUE(wav.valid);
  EXPECT_EQ(wav.values.size(), kFrames * kValuesPerFrame);
  EXPECT_EQ(Parts(dir.path.string()), 0u);

  // The frame count still wins when it comes first.
  const Result cut = RunKeepingOutput({"-q", "--frames", "30", "--keys", "10:q", "--raw", "--wav", dir / "cut.wav"}, &raw);
  ASSERT_EQ(cut.status, 0) << cut.err;
  EXPECT_EQ(raw.size(), 30u * kFrameBytes);
  EXPECT_EQ(ReadWav(dir / "cut.wav").values.size(), 30u * kValuesPerFrame);
}

TEST(CaptureFiles, UnwritablePathsFailAtOnceWithOneLine) {
  ScratchDir dir;
  std::ofstream(dir / "plain") << "x";
  std::filesystem::create_directory(dir / "folder");
  std::filesystem::create_directory(dir / "used");
  std::ofstream(dir / "used/frame_000000.png") << "earlier capture";
  const std::vector<std::vector<std::string>> bad = {
      {"--wav", dir / "missing/a.wav"},
      {"--wav", dir / "plain/a.wav"},
      {"--wav", dir / "folder"},
      {"--png", dir / "plain"},
      {"--png", dir / "plain/frames"},
      {"--png", dir / "missing/frames"},
      {"--png", dir / "folder", "--wav", dir / "plain/a.wav"},
      {"--png", dir / "used"},
      {"--png", dir / "new", "--wav", dir / "missing/a.wav"},  // no empty folder made
  };
  for (const auto& args : bad) {
    std::vector<std::string> full = {"--frames", "5"};
    full.insert(full.end(), args.begin(), args.end());
    const Result r = RunCapture(full);
    EXPECT_EQ(r.status, 1) << args.back();
    EXPECT_EQ(OneLine(r).rfind("intro-capture: ", 0), 0u) << OneLine(r);
  }
  // Nothing half-written was left behind.
  EXPECT_EQ(FolderNames(dir.path.string()), (std::vector<std::string>{"folder", "plain", "used"}));
  EXPECT_TRUE(FolderNames(dir / "folder").empty());
  EXPECT_EQ(ReadFile(dir / "used/frame_000000.png"), "earlier capture");
}

// A reader that goes away early is a failure: no sound file claims to be
// the whole capture.
TEST(CaptureFiles, ClosedPipeFailsAndLeavesNoSoundFile) {
  ScratchDir dir;
  const std::string wav = dir / "a.wav";
  const std::string command = "'" + CaptureProgram() + "' -q --frames 200 --raw --wav '" + wav +
                              "' 2>'" + (dir / "err") + "' | head -c 1000 >/dev/null; exit ${PIPESTATUS[0]}";
  const std::vector<std::string> shell = {"bash", "-c", command};
  std::vector<char*> argv;
  std::vector<std::string> copy = shell;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawnp(&pid, "bash", nullptr, nullptr, argv.data(), environ), 0);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::vector<std::string> lines = Lines(ReadFile(dir / "err"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("standard output"), std::string::npos) << lines[0];
  EXPECT_FALSE(std::filesystem::exists(wav));
  EXPECT_EQ(Parts(dir.path.string()), 0u);
}

// What a name leads to decides how it is written: symbolic links are
// followed, a device or a pipe is written straight through, and nothing but
// a regular file is ever replaced. (Links in the scratch folder stand for
// /dev/stdout and /dev/full, which a faulty run must not be able to harm.)
TEST(CaptureTargets, LinksAreFollowedAndDevicesAndPipesWrittenThrough) {
  namespace fs = std::filesystem;
  ScratchDir dir;
  std::ofstream(dir / "real.wav") << "old";
  fs::create_symlink("real.wav", dir / "link.wav");
  fs::create_symlink("made.wav", dir / "dangling.wav");
  for (const char* name : {"link.wav", "dangling.wav"}) {
    const Result r = RunCapture({"-q", "--frames", "3", "--wav", dir / name});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(dir / name)) << name;
  }
  EXPECT_EQ(ReadWav(dir / "real.wav").values.size(), 3u * kValuesPerFrame);
  EXPECT_EQ(ReadFile(dir / "made.wav"), ReadFile(dir / "real.wav"));

  // Standard output and a named pipe get the whole file as it is made.
  fs::create_symlink("/dev/stdout", dir / "out.wav");
  std::string out;
  ASSERT_EQ(RunKeepingOutput({"-q", "--frames", "3", "--wav", dir / "out.wav"}, &out).status, 0);
  EXPECT_TRUE(fs::is_symlink(dir / "out.wav"));
  EXPECT_EQ(out, ReadFile(dir / "real.wav"));
  ASSERT_EQ(RunKeepingOutput({"-q", "--frames", "3", "--wav", "-"}, &out).status, 0);
  EXPECT_EQ(out, ReadFile(dir / "real.wav"));
  out.clear();
  const auto keep = [&out](const char* data, size_t size) { out.append(data, size); };
  const Result overSocket = RunCapture({"-q", "--frames", "3", "--wav", "-"}, keep, CaptureProgram(), true);
  EXPECT_EQ(overSocket.status, 0) << overSocket.err;
  EXPECT_EQ(out, ReadFile(dir / "real.wav")) << "standard output a socket";
  // The read end is open before the capture starts, so neither side waits
  // for the other; the file fits in the pipe's buffer.
  const std::string pipePath = dir / "pipe.wav";
  ASSERT_EQ(mkfifo(pipePath.c_str(), 0600), 0);
  const int readEnd = open(pipePath.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(readEnd, 0);
  const Result fifo = RunCapture({"-q", "--frames", "3", "--wav", pipePath});
  std::string piped;
  char chunk[4096];
  for (ssize_t got; (got = read(readEnd, chunk, sizeof chunk)) > 0;) piped.append(chunk, static_cast<size_t>(got));
  close(readEnd);
  EXPECT_EQ(fifo.status, 0) << fifo.err;
  EXPECT_EQ(piped, ReadFile(dir / "real.wav"));
  EXPECT_TRUE(fs::is_fifo(pipePath));

  // A full device reports its own error, in one line naming the path given.
  fs::create_symlink("/dev/full", dir / "full.wav");
  const Result full = RunCapture({"-q", "--frames", "3", "--wav", dir / "full.wav"});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(OneLine(full), "intro-capture: cannot write " + (dir / "full.wav") + ": No space left on device");
  EXPECT_TRUE(fs::is_symlink(dir / "full.wav"));
  EXPECT_EQ(Parts(dir.path.string()), 0u);
}

// Interrupted, the capture removes the temporaries of its unfinished files.
TEST(CaptureTargets, InterruptedCaptureLeavesNoTemporaries) {
  // No core file from SIGQUIT's default action in the test's folder.
  const rlimit noCore = {0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  for (const int signal : {SIGINT, SIGTERM, SIGQUIT}) {
    ScratchDir dir;
    std::vector<std::string> args = {CaptureProgram(), "-q",         "--frames", "100000", "--png",
                                     dir / "f",        "--wav", dir / "a.wav"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    for (int wait = 0; wait < 200 && !std::filesystem::exists(dir / "f/frame_000005.png"); ++wait) usleep(50000);
    kill(pid, signal);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
    EXPECT_FALSE(std::filesystem::exists(dir / "a.wav"));
    EXPECT_EQ(Parts(dir.path.string()), 0u);
    EXPECT_EQ(Parts(dir / "f"), 0u);
  }
}

// Captures racing to one name each write a temporary of their own: every
// one succeeds, and the file left is exactly one of them, made alone.
TEST(CaptureTargets, RacingCapturesLeaveOneWholeCapture) {
  ScratchDir dir;
  auto args = [&](int run, const std::string& wav) {
    return std::vector<std::string>{CaptureProgram(), "-q", "--frames", std::to_string(300 + 10 * run),
                                    "--keys", std::to_string(20 * run) + ":space", "--wav", wav};
  };
  std::vector<std::string> alone;
  for (int run = 1; run <= 4; ++run) {
    const std::string wav = dir / ("alone" + std::to_string(run) + ".wav");
    const std::vector<std::string> a = args(run, wav);
    ASSERT_EQ(RunCapture({a.begin() + 1, a.end()}).status, 0);
    alone.push_back(ReadFile(wav));
  }
  std::vector<pid_t> racers;
  for (int run = 1; run <= 4; ++run) {
    std::vector<std::string> a = args(run, dir / "same.wav");
    std::vector<char*> argv;
    for (std::string& word : a) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    racers.push_back(pid);
  }
  for (const pid_t pid : racers) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  }
  const std::string left = ReadFile(dir / "same.wav");
  EXPECT_EQ(std::count(alone.begin(), alone.end(), left), 1) << left.size() << " bytes match no capture made alone";
  EXPECT_EQ(Parts(dir.path.string()), 0u);
}

// A hostile user's runs, each with its answer: what comes on standard
// error first and last, and the status. FOLDER stands for the test's
// folder. ffmpeg is a script here, each row's own, that behaves as the real
// one does when the disk fills or it is stopped; a full temporary folder is
// a tiny file system mounted for the one run.
TEST(CaptureHostile, EachRunGivesItsAnswerAtOnce) {
  ScratchDir dir;
  const auto fakeFfmpeg = [&](const std::string& name, const std::string& body) {
    std::filesystem::create_directories(dir / name);
    std::ofstream(dir / (name + "/ffmpeg")) << "#!/bin/sh\n" << body << "\n";
    std::filesystem::permissions(dir / (name + "/ffmpeg"), std::filesystem::perms::owner_all);
    return "PATH='" + (dir / name) + ":" + getenv("PATH") + "' ";
  };
  const std::string idle = fakeFfmpeg("idle", "cat >/dev/null");
  const std::string fullDisk = fakeFfmpeg(
      "full", "cat >/dev/null\necho '[error] Error closing file /dev/fd/4: No space left on device' >&2\nexit 1");
  const std::string stopped = fakeFfmpeg(
      "stopped", "head -c 1 >/dev/null\necho '[info] Exiting normally, received signal 15.' >&2\nexit 255");
  const std::string killed = fakeFfmpeg("killed", "kill -KILL $$");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "tmp");
  // A frame folder whose files are never opened to try it, pipes included.
  std::filesystem::create_directory(dir / "frames");
  ASSERT_EQ(mkfifo((dir / "frames/.intro-capture-probe").c_str(), 0600), 0);
  const bool canMount = system("unshare -rm true 2>/dev/null") == 0;
  const std::string tinyTemporaryFolder =
      "unshare -rm sh -c 'mount -t tmpfs -o size=8k tmpfs \"$0\" && exec \"$@\"' '" + (dir / "tmp") + "' env TMPDIR='" +
      (dir / "tmp") + "' ";
  struct Case {
    std::string prefix;  // environment and wrapper
    std::string args;
    int status;
    std::string first, last;  // text the first and the last lines hold
  };
  const std::vector<Case> cases = {
      {idle, "-q --frames 10 --video FOLDER/fifo", 1, "",
       "intro-capture: cannot write FOLDER/fifo: a video needs a file, not a device or a pipe"},
      {fullDisk, "-q --frames 10 --video-loudness off --video FOLDER/full.mp4", 1, "",
       "intro-capture: ffmpeg could not make FOLDER/full.mp4: "
       "Error closing file FOLDER/full.mp4: No space left on device"},
      {stopped, "-q --frames 10 --video-loudness off --video FOLDER/stopped.mp4", 1, "",
       "intro-capture: ffmpeg could not make FOLDER/stopped.mp4: ffmpeg was stopped by signal 15"},
      {killed, "-q --frames 10 --video-loudness off --video FOLDER/killed.mp4", 1, "",
       "intro-capture: ffmpeg could not make FOLDER/killed.mp4: ffmpeg was stopped by signal 9"},
      {canMount ? idle + tinyTemporaryFolder : "", "-q --frames 10 --video-loudness off --video FOLDER/v.mp4", 1, "",
       "intro-capture: cannot keep the sound for the video: no space left in the temporary folder FOLDER/tmp"},
      {"", "--frames 2 --png FOLDER/frames", 0, "", "] 2/2 frames "},
      {"", "--from 7001 --frames 7002 --raw", 0, "] playing up to --from 7001: 1/7001 frames ", "] 1/1 frames "},
  };
  const auto inFolder = [&](std::string text) {
    for (size_t at; (at = text.find("FOLDER")) != std::string::npos;) text.replace(at, 6, dir.path.string());
    return text;
  };
  for (const Case& c : cases) {
    if (c.prefix.empty() && c.status != 0) {
      std::cout << "skipped without a mount namespace: " << c.args << "\n";
      continue;
    }
    const std::string errPath = dir / "err";
    const std::string command = c.prefix + "timeout -s KILL 60 '" + CaptureProgram() + "' " + inFolder(c.args) +
                                " >/dev/null 2>'" + errPath + "'";
    const int status = system(command.c_str());
    const std::vector<std::string> lines = Lines(ReadFile(errPath));
    SCOPED_TRACE(c.args + "\n" + ReadFile(errPath));
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status);
    ASSERT_FALSE(lines.empty());
    if (c.status != 0) {
      EXPECT_EQ(lines.size(), 1u);
      EXPECT_EQ(lines[0], inFolder(c.last));
    } else {
      EXPECT_NE(lines.front().find(c.first), std::string::npos);
      EXPECT_NE(lines.back().find(c.last), std::string::npos);
    }
  }
  EXPECT_EQ(Parts(dir.path.string()), 0u);
  EXPECT_EQ(FolderNames(dir.path.string()),
            (std::vector<std::string>{"err", "fifo", "frames", "full", "idle", "killed", "stopped", "tmp"}));
  EXPECT_EQ(FolderNames(dir / "frames"),
            (std::vector<std::string>{".intro-capture-probe", "frame_000000.png", "frame_000001.png"}));
}

}  // namespace
