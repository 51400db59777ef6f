#include <windows.h>

#include <algorithm>

#include "cli/FleetChild.h"
#include "text/WideText.h"

namespace uhf::cli {

namespace {

class WindowsChild final : public FleetChild {
 public:
  explicit WindowsChild(PROCESS_INFORMATION info) : info_(info) {}
  ~WindowsChild() override {
    if (!status_) Kill();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }

  std::optional<int> Poll() override {
    if (!status_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(info_.hProcess, &code);
      status_ = static_cast<int>(code);
    }
    return status_;
  }

  void Kill() override {
    if (status_) return;
    TerminateProcess(info_.hProcess, 137);
    WaitForSingleObject(info_.hProcess, INFINITE);
    status_ = 137;
  }

 private:
  PROCESS_INFORMATION info_;
  std::optional<int> status_;
};

HANDLE OpenInheritable(const std::wstring& name, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  return CreateFileW(name.c_str(), access, share, &inherit, disposition, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

}  // namespace

std::unique_ptr<FleetChild> StartFleetChild(const std::vector<std::string>& args,
                                            const std::filesystem::path& out,
                                            const std::filesystem::path& err, std::string& error) {
  std::string line;
  for (const std::string& arg : args) {
    if (!line.empty()) line += ' ';
    line += QuoteWindowsArgument(arg);
  }
  std::wstring command = Widen(line);
  const HANDLE input = OpenInheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
  const HANDLE output = OpenInheritable(out.wstring(), GENERIC_WRITE, CREATE_ALWAYS);
  const HANDLE errors = OpenInheritable(err.wstring(), GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = output;
  startup.hStdError = errors;
  PROCESS_INFORMATION info{};
  // A process group of its own: the console's Ctrl+C reaches the fleet alone, which lets the
  // child finish. The children are started one at a time from one thread, so each inherits only
  // its own three handles (the others' are closed by then).
  const bool started =
      input != INVALID_HANDLE_VALUE && output != INVALID_HANDLE_VALUE &&
      errors != INVALID_HANDLE_VALUE &&
      CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP,
                     nullptr, nullptr, &startup, &info) != FALSE;
  const DWORD failure = GetLastError();
  for (HANDLE h : {input, output, errors}) {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  if (!started) {
    error = "cannot start ";
    error += args.front();
    error += " (error ";
    error += std::to_string(failure);
    error += ')';
    return nullptr;
  }
  return std::make_unique<WindowsChild>(info);
}

void WaitForFleetChildren(std::chrono::milliseconds limit) {
  Sleep(static_cast<DWORD>(std::clamp<long long>(limit.count(), 0, 1)));
}

std::filesystem::path OwnProgram() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    name.resize(name.size() * 2);
  }
}

}  // namespace uhf::cli
