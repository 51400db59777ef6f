// Windows start-up: time from process start to the first complete frame of four windows, each
// started as a fresh process and watched from outside in the same way:
//   floor  a plain Win32 dialog this benchmark shows itself with only the tool window's visible
//          texts, each in the font, place and alignment the tool gives it, as plain labels: what
//          any window showing those texts has to pay;
//   tool   uhf-reader-tool.exe as the operator starts it (driver bound, window built,
//          initialisation run);
//   engineering  the same, started in its engineering view (--engineering);
//   engineering-floor  the floor of the engineering view: its visible texts as plain labels.
// The runs are interleaved (one of each per round, the order rotating) so that load from other
// processes falls on all alike; the table gives min and median of each and the ratios
// tool/floor, engineering/tool, engineering against its floor and the two floors, of the mins and
// of the medians.
//
// First complete frame: the process's dialog is visible and neither it nor any of its visible
// controls has a region left to paint. The watcher looks every millisecond.
//
//   bench_startup_win.exe <uhf-reader-tool.exe> [--rounds=N]   (N >= 3; default 21)
//   bench_startup_win.exe --describe[-engineering] <file>   (internal: the window's texts)
//   bench_startup_win.exe --floor <file>      (internal: shows the floor window)
#include "ui/win32/WindowsApi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/DialogViews.h"
#include "app/ToolAssembly.h"
#include "dialog/MainDialogTemplate.h"
#include "text/WideText.h"
#include "ui/win32/Win32Surface.h"

namespace {

// --- the tool window's visible texts ---

std::wstring Escape(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\\') {
      out += L"\\\\";
    } else if (c == L'\n') {
      out += L"\\n";
    } else if (c == L'\r') {
      out += L"\\r";
    } else if (c == L'\t') {
      out += L"\\t";
    } else {
      out += c;
    }
  }
  return out;
}

std::wstring Unescape(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size()) {
      const wchar_t next = text[++i];
      out += next == L'n' ? L'\n' : next == L'r' ? L'\r' : next == L't' ? L'\t' : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::wstring TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(std::max(GetWindowTextW(window, text.data(), length + 1), 0)));
  return text;
}

// One visible text: where it stands, its font (height in pixels, weight, face) and alignment
// (0 left, 1 centre, 2 right).
struct TextItem {
  RECT rect{};
  LOGFONTW font{};
  int alignment = 0;
  std::wstring text;
};

bool Describe(HWND child, HWND dialog, TextItem& item) {
  wchar_t className[32] = {};
  GetClassNameW(child, className, 32);
  const std::wstring cls = className;
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  item.text = TextOf(child);
  if (item.text.empty()) return false;
  GetWindowRect(child, &item.rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&item.rect), 2);
  auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
  if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  GetObjectW(font, sizeof item.font, &item.font);
  if (_wcsicmp(className, L"RichEdit20W") == 0) {
    // The rich edit's text is in its character format, its size in twips.
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(child, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    HDC screen = GetDC(nullptr);
    item.font.lfHeight = -MulDiv(format.yHeight, GetDeviceCaps(screen, LOGPIXELSY), 1440);
    ReleaseDC(nullptr, screen);
    wcsncpy(item.font.lfFaceName, format.szFaceName, LF_FACESIZE - 1);
    item.font.lfCharSet = format.bCharSet;
    item.alignment = 1;
  } else if (_wcsicmp(className, L"Button") == 0) {
    const LONG kind = style & BS_TYPEMASK;
    item.alignment = kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || kind == BS_OWNERDRAW;
  } else if (_wcsicmp(className, L"Static") == 0) {
    const LONG kind = style & SS_TYPEMASK;
    item.alignment = kind == SS_CENTER ? 1 : kind == SS_RIGHT ? 2 : 0;
  } else if (_wcsicmp(className, L"Edit") == 0) {
    item.alignment = (style & ES_CENTER) ? 1 : (style & ES_RIGHT) ? 2 : 0;
  }
  return true;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Builds the tool window in `view` as uhf-reader-tool.exe does, lets it settle, and writes its
// client size, caption and visible texts to `path`.
int DescribeTool(const std::wstring& path, uhf::DialogView view) {
  std::string error;
  auto driver = uhf::ToolDriver::BindFromEnvironment(error);
  if (!driver) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  uhf::Win32Surface surface(
      uhf::MainDialogTemplate(),
      std::set<int>(uhf::kHoverButtonIds.begin(), uhf::kHoverButtonIds.end()),
      uhf::ViewTemplate(view));
  uhf::WiredDialog dialog(surface, driver->Driver(), uhf::SystemDialogPlatform(), view);
  SetWindowTextW(surface.Window(), uhf::Widen(uhf::ToolCaption(driver->Simulated())).c_str());
  ShowWindow(surface.Window(), SW_SHOW);
  UpdateWindow(surface.Window());
  Pump();

  std::wostringstream out;
  RECT client{};
  GetClientRect(surface.Window(), &client);
  out << client.right << L'\t' << client.bottom << L'\t' << Escape(TextOf(surface.Window()))
      << L'\n';
  int count = 0;
  for (HWND child = GetWindow(surface.Window(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    TextItem item;
    if (!IsWindowVisible(child) || !Describe(child, surface.Window(), item)) continue;
    out << item.rect.left << L'\t' << item.rect.top << L'\t' << item.rect.right - item.rect.left
        << L'\t' << item.rect.bottom - item.rect.top << L'\t' << item.font.lfHeight << L'\t'
        << item.font.lfWeight << L'\t' << item.font.lfCharSet << L'\t'
        << Escape(item.font.lfFaceName) << L'\t' << item.alignment << L'\t' << Escape(item.text)
        << L'\n';
    ++count;
  }
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  file << uhf::Narrow(out.str());
  return count > 0 && file.good() ? 0 : 1;
}

// --- the floor window ---

std::vector<std::wstring> Split(const std::wstring& line) {
  std::vector<std::wstring> fields;
  std::wstring field;
  std::wistringstream in(line);
  while (std::getline(in, field, L'\t')) fields.push_back(field);
  return fields;
}

INT_PTR CALLBACK FloorProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) {
    DestroyWindow(dialog);
    PostQuitMessage(0);
    return TRUE;
  }
  return message == WM_INITDIALOG;
}

int ShowFloor(const std::wstring& path) {
  std::ifstream file{std::filesystem::path(path), std::ios::binary};
  std::stringstream bytes;
  bytes << file.rdbuf();
  std::wistringstream in(uhf::Widen(bytes.str()));
  std::wstring line;
  if (!std::getline(in, line)) return 1;
  const std::vector<std::wstring> head = Split(line);
  if (head.size() != 3) return 1;

  // An empty dialog: the template header and no controls.
  struct {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
  } empty{};
  empty.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME;
  HWND dialog =
      CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &empty.header, nullptr, FloorProc, 0);
  if (dialog == nullptr) return 1;
  SetWindowTextW(dialog, Unescape(head[2]).c_str());
  RECT frame{0, 0, std::stoi(head[0]), std::stoi(head[1])};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);

  std::vector<HFONT> fonts;
  while (std::getline(in, line)) {
    const std::vector<std::wstring> f = Split(line);
    if (f.size() != 10) continue;
    LOGFONTW font{};
    font.lfHeight = std::stoi(f[4]);
    font.lfWeight = std::stoi(f[5]);
    font.lfCharSet = static_cast<BYTE>(std::stoi(f[6]));
    wcsncpy(font.lfFaceName, Unescape(f[7]).c_str(), LF_FACESIZE - 1);
    fonts.push_back(CreateFontIndirectW(&font));
    const int alignment = std::stoi(f[8]);
    const DWORD style = WS_CHILD | WS_VISIBLE |
                        static_cast<DWORD>(alignment == 1   ? SS_CENTER
                                           : alignment == 2 ? SS_RIGHT
                                                            : SS_LEFT);
    HWND label = CreateWindowExW(0, L"Static", Unescape(f[9]).c_str(), style, std::stoi(f[0]),
                                 std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]), dialog, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.back()), FALSE);
  }
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  for (HFONT font : fonts) DeleteObject(font);
  return 0;
}

// --- the watcher ---

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (process == search->process && IsWindowVisible(window) &&
      std::wstring(className) == L"#32770") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindUnpainted(HWND child, LPARAM lParam) {
  if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(lParam) = true;
    return FALSE;
  }
  return TRUE;
}

bool PaintPending(HWND dialog) {
  bool pending = GetUpdateRect(dialog, nullptr, FALSE) != FALSE;
  if (!pending) EnumChildWindows(dialog, FindUnpainted, reinterpret_cast<LPARAM>(&pending));
  return pending;
}

struct Sample {
  double ms = 0;
  bool sawPending = false;  // the watcher saw the window with regions left to paint
};

// Starts `command` and waits for its first complete frame; false when none came in 30 s.
bool RunOnce(std::wstring command, Sample& sample) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const auto start = std::chrono::steady_clock::now();
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  bool framed = false;
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
    Search search{process.dwProcessId, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
      if (!PaintPending(search.found)) {
        framed = true;
        break;
      }
      sample.sawPending = true;
    }
    Sleep(1);
  }
  sample.ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return framed;
}

// Starts `command` and waits for it to end; true when it ended with status 0 within 60 s.
bool RunToEnd(std::wstring command) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  DWORD status = 1;
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
  } else {
    GetExitCodeProcess(process.hProcess, &status);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status == 0;
}

double Min(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::wstring Quoted(const std::wstring& text) {
  return L"\"" + text + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"--describe") {
    return DescribeTool(argv[2], uhf::DialogView::Operator);
  }
  if (argc == 3 && std::wstring(argv[1]) == L"--describe-engineering") {
    return DescribeTool(argv[2], uhf::DialogView::Engineering);
  }
  if (argc == 3 && std::wstring(argv[1]) == L"--floor") return ShowFloor(argv[2]);
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_startup_win <uhf-reader-tool.exe> [--rounds=N]\n");
    return 2;
  }
  int rounds = 21;
  for (int i = 2; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg.rfind(L"--rounds=", 0) == 0) rounds = std::max(3, std::stoi(arg.substr(9)));
  }
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const auto floorFile = [](const wchar_t* view) {
    return (std::filesystem::temp_directory_path() /
            (L"bench_startup_floor_" + std::wstring(view) + L"_" +
             std::to_wstring(GetCurrentProcessId()) + L".txt"))
        .wstring();
  };
  const std::wstring floors[2] = {floorFile(L"operator"), floorFile(L"engineering")};
  const auto removeFloors = [&floors] {
    for (const std::wstring& floor : floors) std::filesystem::remove(floor);
  };
  if (!RunToEnd(Quoted(self) + L" --describe " + Quoted(floors[0])) ||
      !RunToEnd(Quoted(self) + L" --describe-engineering " + Quoted(floors[1]))) {
    std::fprintf(stderr, "cannot describe the tool window\n");
    removeFloors();
    return 1;
  }

  // The tool in its operator view, started in its engineering view, and the two floors.
  constexpr int kCases = 4;
  const std::wstring commands[kCases] = {
      Quoted(self) + L" --floor " + Quoted(floors[0]), Quoted(argv[1]),
      Quoted(argv[1]) + L" --engineering", Quoted(self) + L" --floor " + Quoted(floors[1])};
  const char* names[kCases] = {"floor", "tool", "engineering", "engineering-floor"};
  std::vector<double> ms[kCases];
  bool sawPending[kCases] = {};
  for (int round = 0; round < rounds; ++round) {
    for (int k = 0; k < kCases; ++k) {
      const int m = (round + k) % kCases;
      Sample sample;
      if (!RunOnce(commands[m], sample)) {
        std::fprintf(stderr, "%s never framed\n", names[m]);
        removeFloors();
        return 1;
      }
      ms[m].push_back(sample.ms);
      sawPending[m] = sawPending[m] || sample.sawPending;
    }
  }
  removeFloors();

  std::printf("%-17s %10s %10s   (%d interleaved rounds)\n", "case", "min ms", "median ms",
              rounds);
  for (int m = 0; m < kCases; ++m) {
    std::printf("%-17s %10.1f %10.1f%s\n", names[m], Min(ms[m]), Median(ms[m]),
                sawPending[m] ? "" : "   (never seen before its frame was complete)");
  }
  std::printf("tool/floor: %.2f (min)  %.2f (median)\n", Min(ms[1]) / Min(ms[0]),
              Median(ms[1]) / Median(ms[0]));
  std::printf("engineering/tool: %.2f (min)  %.2f (median)   goal <= 1.2\n",
              Min(ms[2]) / Min(ms[1]), Median(ms[2]) / Median(ms[1]));
  // What the ratio above would be if every control cost what a label showing its text costs.
  std::printf("engineering/its floor: %.2f (min)  %.2f (median)\n", Min(ms[2]) / Min(ms[3]),
              Median(ms[2]) / Median(ms[3]));
  std::printf("floors, engineering/operator: %.2f (min)  %.2f (median)\n",
              Min(ms[3]) / Min(ms[0]), Median(ms[3]) / Median(ms[0]));
  return 0;
}
