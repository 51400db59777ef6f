// The Win32 surface keeps the surface contract. The operator acts through the controls' own input
// handling: a click goes to the window the system's hit test finds under the point (disabled and
// hidden controls are skipped, as for a mouse), typed characters arrive as WM_CHAR, and message
// boxes and save-file dialogs are real ones, answered by timers that type into them and press
// their buttons.
#include <algorithm>
#include <deque>
#include <iterator>

#include "support/Win32Input.h"
#include "ui/contract/SurfaceContract.h"
#include "ui/win32/Win32Surface.h"

namespace uhf::contract {
namespace {

class Win32UnderTest : public SurfaceUnderTest {
 public:
  explicit Win32UnderTest(const DialogTemplate& dialog)
      : surface_(dialog), boxes_(surface_.Window()) {
    // The dialog stays hidden: hit tests look at the controls' own visibility, and a shown window
    // costs Wine a wait for the window manager on every test.
    test::PumpMessages(surface_.Window());
  }

  ControlSurface& Surface() override { return surface_; }
  void Click(int id) override { test::ClickControl(surface_.Window(), surface_.Control(id)); }
  void DoubleClick(int id) override {
    test::DoubleClickControl(surface_.Window(), surface_.Control(id));
  }
  void Type(int id, std::string_view text) override {
    test::TypeInto(surface_.Window(), surface_.Control(id), text);
  }
  void QueueMessageAnswer(MessageResult answer) override { boxes_.Queue(answer); }
  std::vector<SeenMessage> Messages() const override {
    std::vector<SeenMessage> seen;
    for (const test::SeenBox& box : boxes_.Seen()) {
      seen.push_back({box.text, box.caption,
                      box.okCancel ? MessageButtons::OkCancel : MessageButtons::Ok,
                      box.icon ? MessageIcon::Exclamation : MessageIcon::None});
    }
    return seen;
  }
  std::optional<Rgb> CharacterColour(int id, int index) const override {
    return test::RichCharacterColour(surface_.Control(id), surface_.GetText(id), index);
  }
  bool WholeTextSelected(int id) const override {
    return test::WholeTextSelected(surface_.Control(id));
  }

  bool InsideWindow(int id) const override {
    RECT client{};
    RECT control{};
    GetClientRect(surface_.Window(), &client);
    GetWindowRect(surface_.Control(id), &control);
    MapWindowPoints(nullptr, surface_.Window(), reinterpret_cast<POINT*>(&control), 2);
    // A drop-down list's window is as tall as its open list: its closed field counts.
    const LONG bottom =
        control.top +
        std::min<LONG>(control.bottom - control.top,
                       static_cast<LONG>(SendMessageW(surface_.Control(id), CB_GETITEMHEIGHT,
                                                      static_cast<WPARAM>(-1), 0)) +
                           8);
    const bool combo = id == kCombo;
    return control.left >= 0 && control.top >= 0 && control.right <= client.right &&
           (combo ? bottom : control.bottom) <= client.bottom;
  }

  // The key as the message loop receives it, with Ctrl held in the thread's keyboard state.
  void SelectRow(int id, int row) override {
    test::ClickListRow(surface_.Window(), surface_.Control(id), row);
  }
  void QueueSaveFileAnswer(std::optional<std::filesystem::path> answer) override {
    saveDialogs_.Queue(answer ? std::optional(answer->wstring()) : std::nullopt);
  }
  std::string ClipboardText() const override { return test::ClipboardText(); }
  void RunPostedTasks() override { test::PumpMessages(surface_.Window()); }

  void PressCtrl(char key) override {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE held[256];
    std::copy(std::begin(keys), std::end(keys), std::begin(held));
    held[VK_CONTROL] = 0x80;
    SetKeyboardState(held);
    PostMessageW(surface_.Window(), WM_KEYDOWN, static_cast<WPARAM>(key), 0);
    surface_.PostToWindowThread([this] { surface_.EndDialog(); });
    surface_.RunModal();
    SetKeyboardState(keys);
  }

 private:
  Win32Surface surface_;
  test::MessageBoxAnswerer boxes_;
  test::SaveFileAnswerer saveDialogs_;
};

std::unique_ptr<SurfaceUnderTest> MakeWin32UnderTest(const DialogTemplate& dialog) {
  return std::make_unique<Win32UnderTest>(dialog);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, SurfaceContract,
                         ::testing::Values(SurfaceFactory{"Win32", &MakeWin32UnderTest}));

}  // namespace uhf::contract
