#include "driver/arguments.hpp"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "core/system.hpp"
#include "driver/flavour.hpp"

namespace {

// The name the program was started as, without its folder: intro in the
// build folder, torvelin once installed.
std::string ProgramName(const char* invokedAs) {
  if (invokedAs == nullptr || *invokedAs == '\0') return TORVELINFullScreen ? "torvelin-fullscreen" : "torvelin";
  return SYSTEMProgramName(invokedAs);
}

// The capture tool under the name that goes with the program's own.
std::string CaptureTool(const std::string& program) {
  if (program.starts_with("intro")) return "intro-capture --help      (in tools/capture/ of the build folder)";
  return "torvelin-capture --help   (installed beside this program)";
}

void PrintUsage(const std::string& program) {
  printf("Usage: %s [--help | --version]\n\n", program.c_str());
  printf("Plays the intro %s: five scenes in an endless\n"
         "loop at 50 frames per second, over music made while it runs.\n"
         "Every other argument is ignored.\n\n",
         TORVELINFullScreen ? "over the whole screen" : "in a 256 x 256 window");
  printf("Keys:\n"
         "  O, P     slower or faster scroller\n"
         "  SPACE    next scene\n"
         "  F        show or hide the frame rate\n"
         "  ESC, Q   fade to black and quit\n\n");
  printf("Environment:\n%s\n",
         TORVELINFullScreen ? "  TORVELIN_SCALE=N  enlarges the windowed program's window; full screen\n"
                              "                    always takes the largest enlargement that fits\n"
                            : "  TORVELIN_SCALE=N  a window N times as large, 1 to 8 (or the largest\n"
                              "                    that fits the screen)\n");
  printf("The capture tool writes the frames and the sound to files:\n  %s\n", CaptureTool(program).c_str());
}

}  // namespace

bool TORVELINAnswerArguments(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      PrintUsage(ProgramName(argv[0]));
      return true;
    }
    if (arg == "--version") {
      printf("TORVELIN %s\n", TORVELIN_VERSION);
      return true;
    }
  }
  return false;
}
