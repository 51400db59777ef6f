// uhf-readerctl.exe as a whole program on Windows, with the names a Chinese user has: a profile
// named 配置.ini on the command line, a user folder with a Chinese name for the simulated reader's
// state, and profiles as Windows editors save them. Output goes to files, where it stays UTF-8.
#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "support/TempDir.h"
#include "text/WideText.h"

namespace uhf::cli {
namespace {

namespace fs = std::filesystem;

fs::path ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(path).parent_path();
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct Result {
  DWORD exitStatus = 0xFFFFFFFF;
  std::string out;
  std::string err;
};

// This process's environment without the variables that name the simulated reader's state, plus
// `localAppData`.
std::vector<wchar_t> EnvironmentWith(const fs::path& localAppData) {
  std::vector<wchar_t> block;
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
    const std::wstring text(entry);
    const std::wstring name = text.substr(0, text.find(L'=', 1));
    if (_wcsicmp(name.c_str(), L"TAGVANE_SIM_STATE") == 0 ||
        _wcsicmp(name.c_str(), L"XDG_STATE_HOME") == 0 ||
        _wcsicmp(name.c_str(), L"LOCALAPPDATA") == 0) {
      continue;
    }
    block.insert(block.end(), text.begin(), text.end());
    block.push_back(L'\0');
  }
  FreeEnvironmentStringsW(strings);
  const std::wstring local = L"LOCALAPPDATA=" + localAppData.wstring();
  block.insert(block.end(), local.begin(), local.end());
  block.push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

// Runs uhf-readerctl.exe with `arguments` (a wide command line's tail) in `folder`.
Result RunCompanion(const std::wstring& arguments, const fs::path& folder,
                    std::vector<wchar_t>& environment) {
  // Files of their own for each run; no console for the child, so that no console helper process
  // outlives it holding its handles and its folder.
  static int run = 0;
  ++run;
  const fs::path outFile = folder / ("stdout-" + std::to_string(run) + ".txt");
  const fs::path errFile = folder / ("stderr-" + std::to_string(run) + ".txt");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE out =
      CreateFileW(outFile.c_str(), GENERIC_WRITE, kShare, &inherit, CREATE_ALWAYS, 0, nullptr);
  HANDLE err =
      CreateFileW(errFile.c_str(), GENERIC_WRITE, kShare, &inherit, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot create the output files";
    return {};
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  std::wstring command =
      L"\"" + (ProgramFolder() / "uhf-readerctl.exe").wstring() + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  Result result;
  const fs::path cwd = folder;
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                     CREATE_UNICODE_ENVIRONMENT | DETACHED_PROCESS, environment.data(), cwd.c_str(),
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, 60000);
    GetExitCodeProcess(process.hProcess, &result.exitStatus);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  CloseHandle(err);
  result.out = ReadBytes(outFile);
  result.err = ReadBytes(errFile);
  return result;
}

class CompanionUnicode : public ::testing::Test {
 protected:
  CompanionUnicode()
      : folder_(dir_.path() / L"\u5DE5\u4F5C"),                                // 工作
        localAppData_(dir_.path() / L"\u7528\u6237" / L"AppData" / L"Local"),  // 用户
        environment_(EnvironmentWith(localAppData_)) {
    fs::create_directories(folder_);
  }
  Result Run(const std::wstring& arguments) {
    return RunCompanion(arguments, folder_, environment_);
  }

  test::TempDir dir_{"uhf-companion-unicode"};
  fs::path folder_;
  fs::path localAppData_;
  std::vector<wchar_t> environment_;
};

TEST_F(CompanionUnicode, ExportAndApplyAProfileWithAChineseNameUnderAChineseUserFolder) {
  const std::wstring profile = L"\u914D\u7F6E.ini";  // 配置.ini
  const Result exported = Run(L"export " + profile);
  ASSERT_EQ(exported.exitStatus, 0u) << exported.err;
  // Redirected output stays UTF-8 and names the file as given.
  EXPECT_NE(exported.out.find("written to 配置.ini"), std::string::npos) << exported.out;
  const std::string text = ReadBytes(folder_ / profile);
  ASSERT_NE(text.find("\r\noutPower="), std::string::npos) << text;
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "a line ends without CR at byte " << at;
  }

  // Edited as an operator would, then applied: the simulated reader keeps it in the user folder.
  std::string edited = text;
  const std::size_t power = edited.find("outPower=") + 9;
  edited.replace(power, edited.find('\r', power) - power, "21");
  WriteBytes(folder_ / profile, edited);
  const Result applied = Run(L"apply " + profile);
  ASSERT_EQ(applied.exitStatus, 0u) << applied.err;
  EXPECT_NE(applied.out.find("Applied 配置.ini"), std::string::npos) << applied.out;
  const fs::path state = localAppData_ / "tagvane-sim" / "reader.ini";
  EXPECT_TRUE(fs::is_regular_file(state)) << "no state file in the Chinese user folder";
  const Result read = Run(L"read --json");
  ASSERT_EQ(read.exitStatus, 0u) << read.err;
  EXPECT_NE(read.out.find("\"outPower\": 21"), std::string::npos) << read.out;
}

TEST_F(CompanionUnicode, ProfilesAsNotepadSavesThem) {
  struct Case {
    const char* name;
    std::string bytes;
    DWORD exitStatus;
    const char* error;
  };
  std::string utf16;
  for (const char c : std::string("\xFF\xFE") + "[reader]\r\noutPower=20\r\n") {
    utf16 += c;
    if (utf16.size() > 2) utf16 += '\0';
  }
  const Case cases[] = {
      {"UTF-8 with a byte order mark", "\xEF\xBB\xBF[reader]\r\noutPower=20\r\n", 0, ""},
      {"UTF-16", utf16, static_cast<DWORD>(kExitUsage), "save it as UTF-8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(folder_ / L"\u8BB0\u4E8B\u672C.ini", c.bytes);  // 记事本.ini
    const Result result = Run(L"apply \u8BB0\u4E8B\u672C.ini");
    EXPECT_EQ(result.exitStatus, c.exitStatus) << result.err;
    EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
    if (c.exitStatus != 0) {
      // The message names the file as given and says nothing garbled.
      EXPECT_NE(result.err.find("记事本.ini: the file is UTF-16 text"), std::string::npos)
          << result.err;
    }
  }
}

}  // namespace
}  // namespace uhf::cli
