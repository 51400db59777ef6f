// The Windows window end to end: starts uhf-reader-tool.exe with the simulated reader recording
// its calls, presses "获取配置信息" and then "出厂默认设置" as an operator would, and checks the
// calls each press made, the status panel's text and that the panel shows it in green.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "support/PosixEnv_win.h"
#include "support/TempDir.h"
#include "support/Win32Input.h"
#include "ui/win32/Win32Surface.h"

namespace uhf {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The calls of a read over USB of a reader of kind 0, in the order of the read's steps: open the
// USB link at the selected 115200 baud, handshake, then buzzer, work mode, trigger time, Wiegand
// output time, Wiegand output record, Wiegand format (USB link), password, tag interval, power,
// version, serial number, address and frequency plan.
const std::vector<std::string> kReadCalls = {
    "OpenCom(100,115200)",
    "Handshake(255,1)",
    "UhfGetBuzzer(255)",
    "UhfGetWorkMode(255)",
    "UhfGetTriggerTime(255)",
    "UhfGetWgIntervalTime(255)",
    "UhfGetWgOutByte(255)",
    "UhfGetWeigand(255)",
    "UhfGetPassword(255)",
    "UhfGetReadTagIntervalTime(255)",
    "UhfGetOutPower(255)",
    "Get_Version(255)",
    "Get_SerNum(255)",
    "UhfGetAddress(255)",
    "UhfGetFrequencyRegion(255)",
};

// The factory default: the link the read left open is closed first (one link at a time), then
// its own USB link at baud 0, handshake, reset, the production defaults
// (address 1, output time 2, read time 2, Wiegand 26 = 0x26, output record 1/9/3/0, password on
// with four bytes 0x5A, always read), the frequency plan chosen by the reader's FCC start
// frequency, power 33 for kind 0, then the disconnect (handshake 0, close).
const std::vector<std::string> kFactoryCalls = {
    "CloseCom()",
    "OpenCom(100,0)",
    "Handshake(255,1)",
    "UhfFactoryDefault(255)",
    "UhfSetAddress(255,1)",
    "UhfSetWgIntervalTime(255,2)",
    "UhfSetTriggerTime(255,2)",
    "UhfSetWeigand(255,38)",
    "UhfSetWgOutByte(255,1,9,3,0)",
    "UhfSetPassword(255,1,90,90,90,90)",
    "UhfSetWorkMode(255,0)",
    "UhfGetFrequencyRegion(255)",
    "UhfSetFrequencyRegionB(255,4,902000,926000,500,48)",
    "UhfSetOutPower(255,33)",
    "Handshake(255,0)",
    "CloseCom()",
};

// Every call of a sequence as the simulated reader records it: with its status, 0 here.
std::vector<std::string> Succeeded(const std::vector<std::string>& calls) {
  std::vector<std::string> lines;
  for (const std::string& call : calls) lines.push_back(call + " -> 0");
  return lines;
}

std::vector<std::string> ReadLines(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout = 20s) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return condition();
}

std::string ControlText(HWND control) {
  wchar_t buffer[256] = {};
  // WM_GETTEXT crosses process boundaries.
  SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK, 5000,
                      nullptr);
  return Narrow(buffer);
}

struct PanelPixels {
  int green = 0;
  int red = 0;
};

// The screen's pixels in `rect` (screen coordinates) as 0x00RRGGBB, row by row.
std::vector<std::uint32_t> ScreenPixels(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                    static_cast<const std::uint32_t*>(bits) + width * height);
  for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

std::vector<std::uint32_t> ScreenPixels(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  return ScreenPixels(rect);
}

// The status panel's pixels as the screen shows them.
PanelPixels CountPanelPixels(HWND panel) {
  PanelPixels counts;
  for (const std::uint32_t p : ScreenPixels(panel)) {
    if (p == 0x19962B) ++counts.green;  // RGB(25, 150, 43)
    if (p == 0xFF0000) ++counts.red;
  }
  return counts;
}

// The control of the tool's window that has the keyboard focus.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

// A key pressed and released on the control with the focus, through the tool's message loop.
void PressKey(HWND control, WPARAM key) {
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
  PostMessageW(control, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  PostMessageW(control, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
}

class ToolProcess {
 public:
  explicit ToolProcess(const fs::path& workingDirectory, const std::wstring& arguments = {}) {
    std::wstring command = L"\"" + fs::path(UHF_TOOL_EXE).make_preferred().wstring() + L"\"";
    if (!arguments.empty()) command += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const std::wstring folder = workingDirectory.wstring();
    started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &startup, &info_) != FALSE;
  }
  ~ToolProcess() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 9);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  bool Started() const { return started_; }
  DWORD WaitForExit() {
    WaitForSingleObject(info_.hProcess, 20000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

TEST(ToolWindowEndToEnd, ReadAndFactoryDefaultCallTheReaderAndShowGreen) {
  test::TempDir dir("uhf-gui");
  const fs::path log = dir.path() / "calls.log";
  setenv("TAGVANE_SIM_STATE", (dir.path() / "reader.ini").string().c_str(), 1);
  setenv("TAGVANE_SIM_RECORD", log.string().c_str(), 1);

  ToolProcess tool(dir.path());  // started in a folder without config.ini
  ASSERT_TRUE(tool.Started());
  // The caption says the simulated reader is the driver.
  const std::wstring title = Widen(std::string(kAppTitle) + std::string(kSimulatedCaptionSuffix));
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    window = FindWindowW(L"#32770", title.c_str());
    return window != nullptr && IsWindowVisible(window);
  })) << "the window did not appear";
  HWND panel = GetDlgItem(window, idc::StatusPanel);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(ControlText(GetDlgItem(window, idc::ReadConfig)), "获取配置信息");
  EXPECT_EQ(ControlText(GetDlgItem(window, idc::FactoryDefault)), "出厂默认设置");
  EXPECT_TRUE(ReadLines(log).empty()) << "no call before a button is pressed";

  test::ClickControl(window, GetDlgItem(window, idc::ReadConfig));
  ASSERT_TRUE(WaitFor([&] { return ControlText(panel) == "读取成功"; })) << ControlText(panel);
  ASSERT_TRUE(WaitFor([&] { return ReadLines(log).size() >= kReadCalls.size(); }));
  EXPECT_EQ(ReadLines(log), Succeeded(kReadCalls));
  PanelPixels pixels;
  EXPECT_TRUE(WaitFor([&] { return (pixels = CountPanelPixels(panel)).green > 500; }, 5s))
      << "green pixels: " << pixels.green;
  EXPECT_EQ(pixels.red, 0);
  RecordProperty("green_after_read", pixels.green);

  fs::remove(log);
  test::ClickControl(window, GetDlgItem(window, idc::FactoryDefault));
  ASSERT_TRUE(WaitFor([&] { return ControlText(panel) == "设置成功"; })) << ControlText(panel);
  ASSERT_TRUE(WaitFor([&] { return ReadLines(log).size() >= kFactoryCalls.size(); }));
  EXPECT_EQ(ReadLines(log), Succeeded(kFactoryCalls));
  EXPECT_TRUE(WaitFor([&] { return (pixels = CountPanelPixels(panel)).green > 500; }, 5s))
      << "green pixels: " << pixels.green;
  EXPECT_EQ(pixels.red, 0);
  RecordProperty("green_after_factory_default", pixels.green);

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(tool.WaitForExit(), 0u);
}

// The tool started in a fresh folder with the simulated reader recording its calls to `log`.
HWND StartedWindow(ToolProcess& tool) {
  if (!tool.Started()) return nullptr;
  const std::wstring title = Widen(std::string(kAppTitle) + std::string(kSimulatedCaptionSuffix));
  HWND window = nullptr;
  WaitFor([&] {
    window = FindWindowW(L"#32770", title.c_str());
    return window != nullptr && IsWindowVisible(window);
  });
  return window;
}

TEST(ToolWindowEndToEnd, EnterOnTheFocusedOperatorButtonPressesItAndTheWindowStays) {
  test::TempDir dir("uhf-gui-keys");
  const fs::path log = dir.path() / "calls.log";
  setenv("TAGVANE_SIM_STATE", (dir.path() / "reader.ini").string().c_str(), 1);
  setenv("TAGVANE_SIM_RECORD", log.string().c_str(), 1);
  ToolProcess tool(dir.path());
  HWND window = StartedWindow(tool);
  ASSERT_NE(window, nullptr) << "the window did not appear";
  HWND panel = GetDlgItem(window, idc::StatusPanel);
  HWND read = GetDlgItem(window, idc::ReadConfig);
  HWND factory = GetDlgItem(window, idc::FactoryDefault);
  // The first control that takes the focus has it: the read button.
  ASSERT_TRUE(WaitFor([&] { return FocusOf(window) == read; }));

  PressKey(read, VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return ControlText(panel) == "读取成功"; })) << ControlText(panel);
  ASSERT_TRUE(WaitFor([&] { return ReadLines(log).size() >= kReadCalls.size(); }));
  EXPECT_EQ(ReadLines(log), Succeeded(kReadCalls));
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(IsWindowVisible(window)) << "Enter on a button must not close the window";

  // Tab goes on to the factory default button, which then shows the focus rectangle.
  const std::vector<std::uint32_t> unfocused = ScreenPixels(factory);
  PressKey(read, VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return FocusOf(window) == factory; }));
  EXPECT_TRUE(WaitFor([&] { return ScreenPixels(factory) != unfocused; }, 5s))
      << "the focused button looks as before";

  fs::remove(log);
  PressKey(factory, VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return ControlText(panel) == "设置成功"; })) << ControlText(panel);
  ASSERT_TRUE(WaitFor([&] { return ReadLines(log).size() >= kFactoryCalls.size(); }));
  EXPECT_EQ(ReadLines(log), Succeeded(kFactoryCalls));
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(IsWindowVisible(window));

  // The parameter controls are disabled and the others hidden: Tab comes round to the read button.
  PressKey(factory, VK_TAB);
  EXPECT_TRUE(WaitFor([&] { return FocusOf(window) == read; }, 5s));

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(tool.WaitForExit(), 0u);
}

TEST(ToolWindowEndToEnd, TheSerialNumberLetsTheStatusTextShowThrough) {
  test::TempDir dir("uhf-gui-sn");
  setenv("TAGVANE_SIM_STATE", (dir.path() / "reader.ini").string().c_str(), 1);
  setenv("TAGVANE_SIM_RECORD", "", 1);
  ToolProcess tool(dir.path());
  HWND window = StartedWindow(tool);
  ASSERT_NE(window, nullptr) << "the window did not appear";
  HWND panel = GetDlgItem(window, idc::StatusPanel);
  HWND serial = GetDlgItem(window, idc::SerialNumberLabel);
  test::ClickControl(window, GetDlgItem(window, idc::ReadConfig));
  ASSERT_TRUE(WaitFor([&] { return ControlText(panel) == "读取成功"; })) << ControlText(panel);
  ASSERT_TRUE(WaitFor([&] { return ControlText(serial).rfind("SN:", 0) == 0; }));
  // The large green status text runs under the serial number's label: its strokes show inside the
  // label's rectangle, between the label's own black letters.
  int green = 0;
  int white = 0;
  EXPECT_TRUE(WaitFor(
      [&] {
        green = white = 0;
        for (const std::uint32_t p : ScreenPixels(serial)) {
          green += p == 0x19962B ? 1 : 0;
          white += p == 0xFFFFFF ? 1 : 0;
        }
        return green > 50 && white > 50;
      },
      5s))
      << "green " << green << ", white " << white;
  RecordProperty("green_under_serial_number", green);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(tool.WaitForExit(), 0u);
}

// The number a figure label ends with ("Total reads: 12"); -1 when it shows none.
long long FigureOf(HWND label) {
  const std::string text = ControlText(label);
  const std::size_t digits = text.find_last_not_of("0123456789");
  if (digits == std::string::npos || digits + 1 == text.size()) return -1;
  return std::stoll(text.substr(digits + 1));
}

int ComboSelection(HWND combo) {
  return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

std::string ComboItemText(HWND combo, int index) {
  wchar_t buffer[64] = {};
  if (SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) >= 64) return {};
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
  return Narrow(buffer);
}

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The engineering view over the simulated reader, as an operator uses it: a changed output power
// saved to the reader and shown by the next read, continuous reading started and stopped, and the
// tag list exported through the real save dialog into a folder with a Chinese name.
TEST(ToolWindowEndToEnd, EngineeringViewSavesReadsContinuouslyAndExports) {
  test::TempDir dir("uhf-gui-engineering");
  const fs::path state = dir.path() / "reader.ini";
  setenv("TAGVANE_SIM_STATE", state.string().c_str(), 1);
  setenv("TAGVANE_SIM_RECORD", "", 1);
  // Each call answers as late as a reader on a USB link would: continuous reading then logs at a
  // reader's pace, not as fast as the simulation could go.
  struct Latency {
    Latency() { setenv("TAGVANE_SIM_LATENCY_MS", "2", 1); }
    ~Latency() { setenv("TAGVANE_SIM_LATENCY_MS", "", 1); }
  } latency;
  ToolProcess tool(dir.path(), L"--engineering");
  HWND window = StartedWindow(tool);
  ASSERT_NE(window, nullptr) << "the window did not appear";
  const auto control = [window](int id) { return GetDlgItem(window, id); };
  HWND panel = control(idc::StatusPanel);

  test::ClickControl(window, control(idc::ReadConfig));
  ASSERT_TRUE(WaitFor([&] { return ControlText(panel) == "读取成功"; })) << ControlText(panel);

  // Output power: three steps down the list with the arrow key, saved.
  HWND power = control(idc::Power);
  const int before = ComboSelection(power);
  ASSERT_GE(before, 3) << "the power list should offer lower levels";
  for (int i = 0; i < 3; ++i) PressKey(power, VK_UP);
  ASSERT_TRUE(WaitFor([&] { return ComboSelection(power) == before - 3; }, 5s));
  const std::string chosen = ComboItemText(power, before - 3);
  ASSERT_FALSE(chosen.empty());
  test::ClickControl(window, control(idc::SaveChanges));
  ASSERT_TRUE(WaitFor([&] { return ControlText(panel) == "Saved!"; })) << ControlText(panel);
  EXPECT_NE(FileBytes(state).find("outPower=" + chosen + "\n"), std::string::npos)
      << FileBytes(state);
  // Moved away without saving, then read back: the window shows what the reader holds.
  PressKey(power, VK_DOWN);
  ASSERT_TRUE(WaitFor([&] { return ComboSelection(power) == before - 2; }, 5s));
  test::ClickControl(window, control(idc::ReadConfig));
  ASSERT_TRUE(WaitFor([&] { return ControlText(panel) == "读取成功"; })) << ControlText(panel);
  EXPECT_TRUE(WaitFor([&] { return ComboItemText(power, ComboSelection(power)) == chosen; }, 5s))
      << ComboItemText(power, ComboSelection(power));

  // Continuous reading, with no pause between reads: the figures rise and the list fills until
  // Stop.
  test::TypeInto(window, control(idc::TagInterval), "0");
  ASSERT_TRUE(WaitFor([&] { return ControlText(control(idc::TagInterval)) == "0"; }, 5s));
  HWND startStop = control(idc::StartStopReads);
  HWND total = control(idc::TotalReadsLabel);
  HWND list = control(idc::TagList);
  const long long totalBefore = FigureOf(total);
  test::ClickControl(window, startStop);
  ASSERT_TRUE(WaitFor([&] { return ControlText(startStop) == "Stop"; }, 5s));
  // Five seconds of reading: the count rises every second.
  for (long long last = totalBefore, second = 1; second <= 5; ++second) {
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(WaitFor([&] { return FigureOf(total) > last; }, 5s))
        << "second " << second << ": " << ControlText(total);
    last = FigureOf(total);
  }
  const auto rows = [list] {
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_BLOCK, 5000, &count);
    return static_cast<int>(count);
  };
  EXPECT_GT(rows(), 0);
  test::ClickControl(window, startStop);
  ASSERT_TRUE(WaitFor([&] { return ControlText(startStop) == "Start"; }, 5s));
  const long long stopped = FigureOf(total);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(FigureOf(total), stopped) << "reading went on after Stop";

  // Export CSV into a folder with a Chinese name, through the save dialog.
  const fs::path folder = dir.path() / u8"导出 文件夹";
  fs::create_directories(folder);
  const fs::path csv = folder / u8"标签.csv";
  test::ClickControl(window, control(idc::ExportCsv));
  HWND saveDialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (saveDialog = test::FindSaveFileDialog(window)) != nullptr; }))
      << "no save dialog";
  test::AnswerSaveFileDialog(saveDialog, csv.wstring());
  ASSERT_TRUE(WaitFor([&] { return fs::exists(csv); })) << "nothing written";
  const std::string bytes = FileBytes(csv);
  EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF", 0), 0u) << "no byte order mark";
  std::vector<std::string> lines;
  std::istringstream in(bytes.substr(3));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines[0].find("First Seen"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("Last Seen"), std::string::npos) << lines[0];
  EXPECT_EQ(static_cast<int>(lines.size()) - 1, rows());

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(tool.WaitForExit(), 0u);
}

}  // namespace
}  // namespace uhf
