#pragma once
// The contract every ControlSurface keeps, as one parameterised suite. A surface joins it with a
// SurfaceUnderTest (the surface plus what an operator does to it) and one line in its own test
// binary:
//
//   INSTANTIATE_TEST_SUITE_P(Memory, SurfaceContract,
//                            ::testing::Values(SurfaceFactory{"Memory", &MakeMemoryUnderTest}));
//
// The suite builds its surfaces from its own small template (ContractTemplate()), one control of
// each kind, all visible, so it needs nothing of any one dialog. Plain C++: no toolkit.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ControlSurface.h"
#include "ui/DialogTemplate.h"

namespace uhf::contract {

// Ids of the contract's template.
inline constexpr int kButton = 101;
inline constexpr int kDisabledButton = 102;
inline constexpr int kCheckBox = 103;
inline constexpr int kRadioA = 104;  // group 1
inline constexpr int kRadioB = 105;  // group 1
inline constexpr int kRadioC = 106;  // group 2
inline constexpr int kEdit = 107;
inline constexpr int kOtherEdit = 108;
inline constexpr int kStatic = 109;
inline constexpr int kGroupBox = 110;
inline constexpr int kCombo = 111;
inline constexpr int kList = 112;
inline constexpr int kIp = 113;
inline constexpr int kRich = 114;
inline constexpr int kDisabledEdit = 115;
inline constexpr int kLog = 116;

const DialogTemplate& ContractTemplate();
// The contract's controls arranged otherwise: in another order, moved, two of them wider, the
// static hidden, the window larger.
const DialogTemplate& ContractLayout();

struct SeenMessage {
  std::string text;
  std::string caption;
  MessageButtons buttons;
  MessageIcon icon;
  friend bool operator==(const SeenMessage&, const SeenMessage&) = default;
};

// A surface under test and the operator in front of it. The operator's actions go through the
// surface's real input path (a mouse click on a widget, keys typed into it), so a disabled control
// ignores them as it would for a person.
class SurfaceUnderTest {
 public:
  virtual ~SurfaceUnderTest() = default;
  virtual ControlSurface& Surface() = 0;

  virtual void Click(int id) = 0;
  virtual void DoubleClick(int id) = 0;
  // Replaces the whole text of an edit by typing `text` (UTF-8) character by character.
  virtual void Type(int id, std::string_view text) = 0;

  // The answer for the next box with OK and Cancel; OK when none is queued. A box with only OK
  // takes no queued answer.
  virtual void QueueMessageAnswer(MessageResult answer) = 0;
  virtual std::vector<SeenMessage> Messages() const = 0;

  // Colour of the character at `index` (counted in characters) of a rich edit; nothing for the
  // default colour.
  virtual std::optional<Rgb> CharacterColour(int id, int index) const = 0;
  // The whole text of the edit is selected.
  virtual bool WholeTextSelected(int id) const = 0;
  // The control lies wholly inside the window's client area.
  virtual bool InsideWindow(int id) const = 0;
  // Ctrl+`key` pressed in the window.
  virtual void PressCtrl(char key) = 0;
  // A click on row `row` of a list view.
  virtual void SelectRow(int id, int row) = 0;
  // What the save-file dialog the surface shows next is answered with: a path typed into it and
  // accepted, or Cancel (nothing).
  virtual void QueueSaveFileAnswer(std::optional<std::filesystem::path> answer) = 0;
  // The system clipboard's Unicode text, with line feeds for line ends.
  virtual std::string ClipboardText() const = 0;
  // Lets the window's thread run what was posted to it so far (the test runs on that thread).
  virtual void RunPostedTasks() = 0;
};

// How the suite makes a fresh surface for each test; `name` shows in the test's parameter.
struct SurfaceFactory {
  const char* name;
  std::unique_ptr<SurfaceUnderTest> (*make)(const DialogTemplate&);
  friend void PrintTo(const SurfaceFactory& factory, std::ostream* os) { *os << factory.name; }
};

class SurfaceContract : public ::testing::TestWithParam<SurfaceFactory> {
 protected:
  void SetUp() override;

  ControlSurface& surface() { return under_->Surface(); }
  SurfaceUnderTest& op() { return *under_; }

  std::unique_ptr<SurfaceUnderTest> under_;
  struct Event {
    int id;
    Notification notification;
    friend bool operator==(const Event&, const Event&) = default;
    friend void PrintTo(const Event& e, std::ostream* os) {
      *os << "{" << e.id << ", " << static_cast<int>(e.notification) << "}";
    }
  };
  std::vector<Event> events;
};

}  // namespace uhf::contract
