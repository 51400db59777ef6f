#pragma once
// The reader's radio range. Readers of kind 0 and 1 take it as two frequencies of a 500 kHz
// raster (form 4); readers of kind 2 take it as two channel numbers of a region's channel table
// (form 5). The start and end selectors (1059, 1060) always hold the same list.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace uhf {

class ControlSurface;

inline constexpr std::uint8_t kFormFrequencyRange = 4;
inline constexpr std::uint8_t kFormChannelRange = 5;

// In the argument order of UhfGetFrequencyRegion / UhfSetFrequencyRegion.
struct FrequencyPlan {
  std::uint8_t form = kFormFrequencyRange;
  std::int32_t start = 0;  // kHz (form 4) or first channel, from 1 (form 5)
  std::int32_t end = 0;
  std::int32_t step = 0;   // 500 for form 4, 0 for form 5
  std::uint8_t count = 0;  // number of 500 kHz steps from start to end (form 4), 0 (form 5)
  friend bool operator==(const FrequencyPlan&, const FrequencyPlan&) = default;
};

// A frequency list of form 4: `items` frequencies in kHz from `first`, `step` apart.
struct FrequencyList {
  std::int32_t first;
  std::int32_t step;
  int items;
  std::int32_t At(int item) const { return first + step * item; }
};

inline constexpr std::int32_t kRasterStep = 500;
inline constexpr FrequencyList kFccList{902000, kRasterStep, 53};  // 902000 to 928000
inline constexpr FrequencyList kEtsiList{865000, kRasterStep, 7};  // 865000 to 868000

enum class FrequencyBand { Fcc, Etsi };

const FrequencyList& ListOf(FrequencyBand band);

// One region of the channel table: its channels are firstChannel + step x (n - 1), n from 1.
struct RegionChannelRow {
  std::string_view name;
  int channels;      // 0 or -1: the region gives no channels
  int step;          // kHz
  int firstChannel;  // kHz
};

inline constexpr int kRegionCount = 25;
const std::array<RegionChannelRow, kRegionCount>& RegionChannelTable();

// Channel frequencies of a region in kHz, channel 1 first; empty for a region without channels
// or outside 0 to 24.
std::vector<std::int32_t> RegionChannels(int region);

// Empties both selectors and fills each with the region's channels as "%02d--%d" (number,
// frequency). With -1 for both items the first channel is selected in 1059 and the last in
// 1060; otherwise the given items are selected (an item outside the list selects nothing).
void FillChannelLists(ControlSurface& surface, int region, int startItem, int endItem);

// Empties both selectors and fills each with the band's frequency list ("%d" kHz), 1059 first;
// selects startItem in 1059 and endItem in 1060.
void FillFrequencyLists(ControlSurface& surface, FrequencyBand band, int startItem, int endItem);

// Shows a plan read from the reader. Kind 2: the channel range in the channels of region 0.
// Other kinds: a start of at least 902000 checks FCC, anything lower ETSI; the band's list is
// shown with item (start - base) / 500 and that item + count selected.
void ShowFrequencyPlan(ControlSurface& surface, std::uint8_t readerKind, const FrequencyPlan& plan);

// The plan a save writes from the selectors. Kind 2: form 5 with the items + 1 as channels.
// Other kinds: form 4 in the FCC list when "FCC" is checked, else in the ETSI list.
FrequencyPlan PlanFromControls(const ControlSurface& surface, std::uint8_t readerKind);

// Where a plan stands in the start and end selectors: the band (kinds 0 and 1) and the items
// selected, -1 for none. ShowFrequencyPlan selects these; PlanOfSelection turns them back into
// the plan a save writes.
struct PlanSelection {
  FrequencyBand band = FrequencyBand::Fcc;
  int startItem = -1;
  int endItem = -1;
  friend bool operator==(const PlanSelection&, const PlanSelection&) = default;
};

// The selection ShowFrequencyPlan leaves for a plan read from the reader.
PlanSelection SelectionOfPlan(std::uint8_t readerKind, const FrequencyPlan& plan);

// The plan a save writes for a selection. Kind 2: form 5 with the items + 1 as channels. Other
// kinds: form 4 in the band's list.
FrequencyPlan PlanOfSelection(std::uint8_t readerKind, const PlanSelection& selection);

// The items a click on a band's radio selects: the first, and the 31st (FCC) or 4th (ETSI).
inline constexpr int kBandDefaultStartItem = 0;
int BandDefaultEndItem(FrequencyBand band);

// The number of items the selectors hold for a plan of this kind and band.
int SelectorItems(std::uint8_t readerKind, FrequencyBand band);

// The factory plan: kind 2 channels 1 to 63; other kinds 902000 to 926000 (count 48) when the
// reader's current start frequency is at least 902000, else 865000 to 868000 (count 6).
FrequencyPlan FactoryPlan(std::uint8_t readerKind, std::int32_t currentStart);

}  // namespace uhf
