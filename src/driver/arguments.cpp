#include "driver/arguments.hpp"

#include <cstring>
#include <string>
#include <string_view>

#include "core/system.hpp"
#include "driver/flavour.hpp"
#include "platform/alert.hpp"

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

std::string Usage(const std::string& program) {
  std::string text = "Usage: " + program + " [--help | --version]\n\n";
  text += std::string("Plays the intro ") + (TORVELINFullScreen ? "over the whole screen" : "in a 256 x 256 window") +
          ": five scenes in an endless\n"
          "loop at 50 frames per second, over music made while it runs.\n"
          "Every other argument is ignored.\n\n";
  text += "Keys:\n"
          "  O, P     slower or faster scroller\n"
          "  SPACE    next scene\n"
          "  F        show or hide the frame rate\n"
          "  ESC, Q   fade to black and quit\n\n";
  text += std::string("Environment:\n") +
          (TORVELINFullScreen ? "  TORVELIN_SCALE=N  enlarges the windowed program's window; full screen\n"
                                "                    always takes the largest enlargement that fits\n"
                              : "  TORVELIN_SCALE=N  a window N times as large, 1 to 8 (or the largest\n"
                                "                    that fits the screen)\n") +
          "\n";
  text += "The capture tool writes the frames and the sound to files:\n  " + CaptureTool(program) + "\n";
  return text;
}

}  // namespace

bool TORVELINAnswerArguments(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      ALERTAnswer(Usage(ProgramName(argv[0])).c_str());
      return true;
    }
    if (arg == "--version") {
      ALERTAnswer((std::string("TORVELIN ") + TORVELIN_VERSION + "\n").c_str());
      return true;
    }
  }
  return false;
}
