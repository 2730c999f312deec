#include "child_messages.hpp"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

// ffmpeg names its parts with an address ("[mp4 @ 0x55d0c8] ") that means
// nothing to a user.
std::string_view WithoutPart(std::string_view line) {
  const size_t close = line.find("] ");
  const bool named = line.starts_with("[") && close != std::string_view::npos;
  if (named && line.substr(0, close).find(" @ 0x") != std::string_view::npos) line.remove_prefix(close + 2);
  return line;
}

// The level tag of a line ("[info] "), removed; empty when it has none.
std::string_view TakeLevel(std::string_view* line) {
  static const char* const kLevels[] = {"quiet", "panic",   "fatal", "error", "warning",
                                        "info",  "verbose", "debug", "trace"};
  for (const char* level : kLevels) {
    const std::string tag = std::string("[") + level + "] ";
    if (line->starts_with(tag)) {
      line->remove_prefix(tag.size());
      return level;
    }
  }
  return {};
}

bool IsError(std::string_view level) {
  return level.empty() || level == "error" || level == "fatal" || level == "panic";
}

// N from "Exiting normally, received signal N.", else 0.
int ReceivedSignal(std::string_view line) {
  constexpr std::string_view kSaid = "received signal ";
  const size_t at = line.find(kSaid);
  return at == std::string_view::npos ? 0 : atoi(std::string(line.substr(at + kSaid.size())).c_str());
}

void Replace(std::string* text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (size_t at = text->find(from); at != std::string::npos; at = text->find(from, at + to.size()))
    text->replace(at, from.size(), to);
}

// A full disk, or a full quota where the C library has quotas.
bool IsFull(int error) {
#ifdef EDQUOT
  if (error == EDQUOT) return true;
#endif
  return error == ENOSPC;
}

}  // namespace

std::string CAPTURETemporaryFolder() {
  const char* folder = getenv("TMPDIR");
  return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

std::string CAPTURETemporaryFailure(int error) {
  if (IsFull(error)) return "no space left in the temporary folder " + CAPTURETemporaryFolder();
  return strerror(error);
}

std::string CAPTUREChildReason(const std::string& messages, const std::string& program, int status,
                               const std::string& handed, const std::string& output) {
  int signal = status < 0 ? -status : 0;
  std::string reason;
  size_t start = 0;
  while (start < messages.size()) {
    size_t end = messages.find_first_of("\r\n", start);
    if (end == std::string::npos) end = messages.size();
    std::string_view line = WithoutPart(std::string_view(messages).substr(start, end - start));
    start = end + 1;
    const std::string_view level = TakeLevel(&line);
    if (level == "info" && signal == 0) signal = ReceivedSignal(line);
    while (!line.empty() && isspace(static_cast<unsigned char>(line.back()))) line.remove_suffix(1);
    // ffmpeg closes with "Conversion failed!" after its reason.
    if (IsError(level) && !line.empty() && line != "Conversion failed!") reason = line;
  }
  if (signal != 0) return program + " was stopped by signal " + std::to_string(signal);
  if (reason.empty()) return program + " ended with status " + std::to_string(status);
  Replace(&reason, handed, output);
  return reason;
}
