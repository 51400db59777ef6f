// Starts uhf-reader-tool.exe, optionally presses "获取配置信息" and waits for the status, or
// presses Tab once (the focus goes from 获取配置信息 to 出厂默认设置), and writes the window as the
// screen shows it into a BMP file. Used for the Windows screenshots.
//   window_shot.exe <tool.exe> <out.bmp> [--read | --tab | --screen | --station] [--engineering]
// (--engineering starts the tool in its engineering view; with --read it also reads a few tags
// and selects the second row)
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "support/Win32Input.h"
#include "ui/win32/Win32Surface.h"

namespace {

using namespace std::chrono_literals;

// The client area only, as the Linux screenshots show it (Wine under Xvfb leaves the frame and
// caption of an inactive window unpainted); or, with `wholeScreen`, the whole screen, to show
// where the window stands and that none of it is cut off.
bool WriteBmp(const std::wstring& path, HWND window, bool wholeScreen) {
  RECT rect{};
  if (wholeScreen) {
    rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  } else {
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const DWORD imageSize = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageSize;
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), imageSize);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return out.good();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: window_shot <tool.exe> <out.bmp> [--read | --tab | --screen | --station] "
                 "[--engineering]\n");
    return 2;
  }
  // Screen coordinates in pixels of the screen, whatever its dots per inch.
  using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  if (auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")))) {
    set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  }
  const std::wstring option = argc > 3 ? argv[3] : L"";
  const bool station = option == L"--station";
  const bool engineering = argc > 3 && std::wstring(argv[argc - 1]) == L"--engineering";
  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
  if (station) command += L" --station";
  if (engineering) command += L" --engineering";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "cannot start the tool\n");
    return 1;
  }
  // The tool runs with the simulated reader, which its caption names.
  const std::wstring title =
      uhf::Widen(std::string(uhf::kAppTitle) + std::string(uhf::kSimulatedCaptionSuffix));
  HWND window = nullptr;
  for (int i = 0; i < 400 && (window == nullptr || !IsWindowVisible(window)); ++i) {
    std::this_thread::sleep_for(50ms);
    window = FindWindowW(L"#32770", title.c_str());
  }
  int status = 1;
  if (window != nullptr) {
    if (option == L"--read") {
      uhf::test::ClickControl(window, GetDlgItem(window, uhf::idc::ReadConfig));
      HWND panel = GetDlgItem(window, uhf::idc::StatusPanel);
      for (int i = 0; i < 200 && GetWindowTextLengthW(panel) == 0; ++i) {
        std::this_thread::sleep_for(50ms);
      }
      if (engineering) {  // a few tags read, the second row selected from the keyboard
        for (int read = 0; read < 7; ++read)
          uhf::test::ClickControl(window, GetDlgItem(window, uhf::idc::ReadTagTestDecimal));
        HWND list = GetDlgItem(window, uhf::idc::TagList);
        uhf::test::ClickControl(window, list);
        for (int down = 0; down < 2; ++down) {
          PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0x00500001);
          PostMessageW(list, WM_KEYUP, VK_DOWN, static_cast<LPARAM>(0xC0500001u));
        }
      }
    }
    if (option == L"--tab") {
      HWND read = GetDlgItem(window, uhf::idc::ReadConfig);
      PostMessageW(read, WM_KEYDOWN, VK_TAB, 0x000F0001);
      PostMessageW(read, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC00F0001u));
    }
    if (station) std::this_thread::sleep_for(2s);  // a poll, and a reader's cycle if attached
    std::this_thread::sleep_for(1s);               // let every control finish painting
    status = WriteBmp(argv[2], window, option == L"--screen") ? 0 : 1;
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}
