#pragma once
// A program started as a child process with extra environment variables, its output and errors
// in files, on POSIX systems and on Windows; and paths as the child's system spells them.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ProcessRunner.h"
#endif

namespace uhf::cli::testing {

using ChildEnvironment = std::vector<std::pair<std::string, std::string>>;

// A path of the build as the child takes it: under Wine the build's absolute POSIX paths lie on
// drive Z:.
inline std::string NativePath(const std::string& path) {
#if defined(_WIN32)
  if (!path.empty() && path.front() == '/') {
    std::string native = "Z:" + path;
    for (char& c : native) c = c == '/' ? '\\' : c;
    return native;
  }
#endif
  return path;
}

inline std::string TextOf(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The lines of a file without their line ends (LF or, as Windows writes them, CR LF).
inline std::vector<std::string> LinesOf(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::istringstream text(TextOf(path));
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& args, const ChildEnvironment& env,
               const std::filesystem::path& out, const std::filesystem::path& err) {
#if defined(_WIN32)
    std::wstring command;
    for (const std::string& arg : args) {
      command += (command.empty() ? L"\"" : L" \"") + Widen(arg) + L"\"";
    }
    // The child inherits the environment as it is when it starts; ours is put back after.
    std::vector<std::pair<std::wstring, std::wstring>> saved;
    for (const auto& [name, value] : env) {
      const std::wstring wideName = Widen(name);
      wchar_t old[4096];
      const DWORD length = GetEnvironmentVariableW(wideName.c_str(), old, 4096);
      saved.emplace_back(wideName,
                         length > 0 && length < 4096 ? std::wstring(old, length) : std::wstring());
      SetEnvironmentVariableW(wideName.c_str(), Widen(value).c_str());
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE outFile = CreateFileW(out.wstring().c_str(), GENERIC_WRITE, share, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE errFile = CreateFileW(err.wstring().c_str(), GENERIC_WRITE, share, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE input = CreateFileW(L"NUL", GENERIC_READ, share, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = outFile;
    startup.hStdError = errFile;
    started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                              &startup, &info_) != FALSE;
    for (HANDLE h : {outFile, errFile, input}) {
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    for (const auto& [name, value] : saved) {
      SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
    }
#else
    pid_ = StartProcess(args, env, out, err);
    started_ = pid_ > 0;
#endif
  }
  ~ChildProcess() {
    if (!started_ || ended_) return;
#if defined(_WIN32)
    TerminateProcess(info_.hProcess, 9);
    WaitForSingleObject(info_.hProcess, INFINITE);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
#else
    kill(pid_, SIGKILL);
    WaitProcess(pid_);
#endif
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const {
    return started_;
  }

  // The exit status once the program ended within `limit`; -1 when it had not (it is ended).
  int Wait(std::chrono::milliseconds limit) {
    if (!started_) return -1;
#if defined(_WIN32)
    const bool ended =
        WaitForSingleObject(info_.hProcess, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
    DWORD code = 0;
    if (!ended) TerminateProcess(info_.hProcess, 9);
    WaitForSingleObject(info_.hProcess, INFINITE);
    GetExitCodeProcess(info_.hProcess, &code);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    ended_ = true;
    return ended ? static_cast<int>(code) : -1;
#else
    int status = 0;
    for (auto end = std::chrono::steady_clock::now() + limit;;
         std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) break;
      if (std::chrono::steady_clock::now() > end) {
        kill(pid_, SIGKILL);
        WaitProcess(pid_);
        ended_ = true;
        return -1;
      }
    }
    ended_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
#endif
  }

 private:
#if defined(_WIN32)
  static std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
  }
  PROCESS_INFORMATION info_{};
#else
  pid_t pid_ = -1;
#endif
  bool started_ = false;
  bool ended_ = false;
};

}  // namespace uhf::cli::testing
