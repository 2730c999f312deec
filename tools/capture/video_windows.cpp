// The video's child processes on Windows: CreateProcessW, with only the
// standard streams handed over (as handles that this child alone
// inherits); the files a child reads or writes besides are named on its
// command line. ffmpeg.exe is the one beside this program or on PATH.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cwchar>

#include "core/system_windows.hpp"
#include "video.hpp"
#include "video_process.hpp"

namespace {

int ErrnoFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED: return EACCES;
    case ERROR_NOT_ENOUGH_MEMORY: return ENOMEM;
    default: return EINVAL;
  }
}

// One argument as the C runtime's parser reads it back: quoted when it
// holds a space, a tab or a quote; backslashes doubled only before a quote.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

std::wstring CommandLine(const std::string& program, const std::vector<std::string>& args) {
  std::wstring line = Quoted(SYSTEMWide(program));
  for (const std::string& arg : args) line += L" " + Quoted(SYSTEMWide(arg));
  return line;
}

// A copy of a descriptor's handle that a child inherits, or the null
// device when there is none.
HANDLE InheritedHandle(int fd, DWORD access) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  if (fd < 0)
    return CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  HANDLE copy = INVALID_HANDLE_VALUE;
  const HANDLE own = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (!DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS))
    return INVALID_HANDLE_VALUE;
  return copy;
}

// Creates the process with exactly these three handles inherited.
bool CreateChild(std::wstring line, const std::wstring& program, HANDLE (&handles)[3], PROCESS_INFORMATION* info) {
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<char> storage(size);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
  if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return false;
  const bool listed = UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                                sizeof handles, nullptr, nullptr);
  STARTUPINFOEXW startup = {};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = handles[0];
  startup.StartupInfo.hStdOutput = handles[1];
  startup.StartupInfo.hStdError = handles[2];
  startup.lpAttributeList = attributes;
  const bool created = listed && CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                                                EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                                                &startup.StartupInfo, info);
  const DWORD error = GetLastError();
  DeleteProcThreadAttributeList(attributes);
  SetLastError(error);
  return created;
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The folders to look in: this program's own, then PATH's (which may be
// quoted).
std::vector<std::wstring> SearchFolders() {
  std::vector<std::wstring> folders;
  wchar_t own[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameW(nullptr, own, MAX_PATH * 2);
  if (length > 0 && length < MAX_PATH * 2) {
    std::wstring folder(own, length);
    folders.push_back(folder.substr(0, folder.find_last_of(L"\\/")));
  }
  const wchar_t* path = _wgetenv(L"PATH");
  std::wstring list = path != nullptr ? path : L"";
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find(L';', start);
    if (end == std::wstring::npos) end = list.size();
    std::wstring folder = list.substr(start, end - start);
    if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"') folder = folder.substr(1, folder.size() - 2);
    if (!folder.empty()) folders.push_back(folder);
    start = end + 1;
  }
  return folders;
}

}  // namespace

// In the temporary folder, under a name of its own that a child can open;
// removed when closed.
bool VIDEOOpenScratch(VIDEOScratch* scratch) {
  wchar_t folder[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"tvc", 0, name) == 0) {
    errno = ErrnoFor(GetLastError());
    return false;
  }
  const HANDLE file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  TRUNCATE_EXISTING, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    errno = ErrnoFor(GetLastError());
    DeleteFileW(name);
    return false;
  }
  scratch->fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
  if (scratch->fd < 0) {
    CloseHandle(file);
    DeleteFileW(name);
    return false;
  }
  scratch->name = SYSTEMUtf8(name);
  return true;
}

void VIDEOCloseScratch(VIDEOScratch* scratch) {
  if (scratch->fd >= 0) _close(scratch->fd);
  if (!scratch->name.empty()) DeleteFileW(SYSTEMWide(scratch->name).c_str());
  scratch->fd = -1;
  scratch->name.clear();
}

bool VIDEOPipe(int ends[2]) { return _pipe(ends, 1 << 20, _O_BINARY | _O_NOINHERIT) == 0; }

std::string VIDEOOutputName(const OUTFILE& file) { return file.part; }

VIDEOChild VIDEOStart(const std::string& program, const std::vector<std::string>& args, const VIDEOStreams& streams) {
  HANDLE handles[3] = {InheritedHandle(streams.in, GENERIC_READ), InheritedHandle(streams.out, GENERIC_WRITE),
                       InheritedHandle(streams.err, GENERIC_WRITE)};
  PROCESS_INFORMATION info = {};
  bool created = false;
  if (handles[0] != INVALID_HANDLE_VALUE && handles[1] != INVALID_HANDLE_VALUE && handles[2] != INVALID_HANDLE_VALUE)
    created = CreateChild(CommandLine(program, args), SYSTEMWide(program), handles, &info);
  const DWORD error = GetLastError();
  for (HANDLE handle : handles)
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  if (!created) {
    errno = ErrnoFor(error);
    return VIDEONoChild;
  }
  CloseHandle(info.hThread);
  return reinterpret_cast<VIDEOChild>(info.hProcess);
}

int VIDEOWait(VIDEOChild child) {
  const HANDLE process = reinterpret_cast<HANDLE>(child);
  DWORD status = 1;
  if (WaitForSingleObject(process, INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &status)) status = 1;
  CloseHandle(process);
  return static_cast<int>(status);
}

void VIDEOKill(VIDEOChild child) {
  TerminateProcess(reinterpret_cast<HANDLE>(child), 1);
  VIDEOWait(child);
}

bool CAPTUREMakesVideos() { return true; }

std::string CAPTUREFindFfmpeg(std::string* path) {
  for (const std::wstring& folder : SearchFolders()) {
    const std::wstring candidate = folder + L"\\ffmpeg.exe";
    if (IsFile(candidate)) {
      *path = SYSTEMUtf8(candidate.c_str());
      return {};
    }
  }
  return "--video needs ffmpeg.exe, beside this program or on PATH: get a Windows build of ffmpeg from "
         "https://ffmpeg.org/download.html and put the folder that holds ffmpeg.exe on PATH";
}
