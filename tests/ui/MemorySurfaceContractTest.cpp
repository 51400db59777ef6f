// The in-memory surface keeps the surface contract.
#include "ui/MemorySurface.h"
#include "ui/contract/SurfaceContract.h"

namespace uhf::contract {
namespace {

class MemoryUnderTest : public SurfaceUnderTest {
 public:
  explicit MemoryUnderTest(const DialogTemplate& dialog) : surface_(dialog) {}

  ControlSurface& Surface() override { return surface_; }
  void Click(int id) override { surface_.Click(id); }
  void DoubleClick(int id) override { surface_.DoubleClick(id); }
  void Type(int id, std::string_view text) override { surface_.Type(id, text); }
  void QueueMessageAnswer(MessageResult answer) override { surface_.QueueMessageAnswer(answer); }
  std::vector<SeenMessage> Messages() const override {
    std::vector<SeenMessage> seen;
    for (const ShownMessage& m : surface_.Messages()) {
      seen.push_back({m.text, m.caption, m.buttons, m.icon});
    }
    return seen;
  }
  std::optional<Rgb> CharacterColour(int id, int index) const override {
    return surface_.ColourAt(id, index);
  }
  bool WholeTextSelected(int id) const override { return surface_.WholeTextSelected(id); }
  bool InsideWindow(int id) const override {
    const DialogRect r = surface_.Rect(id);
    return r.x >= 0 && r.y >= 0 && r.x + r.width <= surface_.ClientWidthDu() &&
           r.y + r.height <= surface_.ClientHeightDu();
  }
  void PressCtrl(char key) override { surface_.PressCtrl(key); }
  void SelectRow(int id, int row) override { surface_.SelectRow(id, row); }
  void QueueSaveFileAnswer(std::optional<std::filesystem::path> answer) override {
    surface_.QueueSaveFileAnswer(std::move(answer));
  }
  std::string ClipboardText() const override { return surface_.Clipboard(); }
  void RunPostedTasks() override { surface_.RunPostedTasks(); }

 private:
  MemorySurface surface_;
};

std::unique_ptr<SurfaceUnderTest> MakeMemoryUnderTest(const DialogTemplate& dialog) {
  return std::make_unique<MemoryUnderTest>(dialog);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Memory, SurfaceContract,
                         ::testing::Values(SurfaceFactory{"Memory", &MakeMemoryUnderTest}));

}  // namespace uhf::contract
