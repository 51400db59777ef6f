#include "reader/FrequencyPlan.h"

#include <cstdio>
#include <limits>

#include "dialog/ControlIds.h"
#include "ui/ControlSurface.h"

namespace uhf {

namespace {

constexpr int kCanadaRegion = 22;

// Canada's first three channels sit apart from its raster.
constexpr std::array<std::int32_t, 3> kCanadaFirstChannels{902750, 903250, 905750};

// An item index computed in 64 bits; anything that is not an int selects nothing.
int ItemIndex(long long item) {
  if (item < 0 || item > std::numeric_limits<int>::max()) return -1;
  return static_cast<int>(item);
}

void FillList(ControlSurface& surface, int id, const std::vector<std::string>& items, int select) {
  surface.ComboReset(id);
  for (const auto& item : items) surface.ComboAdd(id, item);
  surface.ComboSetSel(id, select);
}

}  // namespace

const FrequencyList& ListOf(FrequencyBand band) {
  return band == FrequencyBand::Fcc ? kFccList : kEtsiList;
}

const std::array<RegionChannelRow, kRegionCount>& RegionChannelTable() {
  static const std::array<RegionChannelRow, kRegionCount> kTable{{
      {"00---FCC(American)", 63, 400, 902600},
      {"01---ETSI EN 300-220(Europe300-220)", 11, 200, 865500},
      {"02---ETSI EN 302-208(Europe302-208)", 4, 600, 865700},
      {"03---HK920-925(Hong Kong)", 10, 500, 920250},
      {"04---TaiWan 922-928(Taiwan)", 12, 500, 922250},
      {"05---Japan 952-954(Japan)", 0, 0, 0},
      {"06---Japan 952-955(Japan)", 14, 200, 952200},
      {"07---ETSI EN 302-208(Europe)", 4, 600, 865700},
      {"08---Korea 917-921(Korea)", 6, 600, 917300},
      {"09---Malaysia 919-923(Malaysia)", 8, 500, 919250},
      {"10--China 920-925(China)", 16, 250, 920625},
      {"11--Japan 952-956(Japan)", 4, 1200, 952400},
      {"12--South Africa 915-919(Poncho)", 17, 200, 915600},
      {"13--Brazil 902-907/915-928(Brazil)", 35, 500, 902750},
      {"14--Thailand 920-925(Thailand)", -1, -1, -1},
      {"15--Singapore 920-925(Singapore)", 10, 500, 920250},
      {"16--Australia 920-926(Australia)", 12, 500, 920250},
      {"17--India 865-867(India)", 4, 600, 865100},
      {"18--Uruguay 916-928(Uruguay)", 23, 500, 916250},
      {"19--Vietnam 920-925(Vietnam)", 10, 500, 920250},
      {"20--Israel 915-917", 1, 0, 916250},
      {"21--Philippines 918-920(Philippines)", 4, 500, 918250},
      {"22--Canada 902-928(Canada)", 42, 500, 902750},
      {"23--Indonesia 923-925(Indonesia)", 4, 500, 923250},
      {"24--New Zealand 921.5-928(New Zealand)", 11, 500, 922250},
  }};
  return kTable;
}

std::vector<std::int32_t> RegionChannels(int region) {
  std::vector<std::int32_t> channels;
  if (region < 0 || region >= kRegionCount) return channels;
  const RegionChannelRow& row = RegionChannelTable()[static_cast<std::size_t>(region)];
  for (int n = 1; n <= row.channels; ++n) {
    if (region == kCanadaRegion) {
      channels.push_back(n <= 3 ? kCanadaFirstChannels[static_cast<std::size_t>(n - 1)]
                                : kCanadaFirstChannels[2] + row.step * (n - 1));
    } else {
      channels.push_back(row.firstChannel + row.step * (n - 1));
    }
  }
  return channels;
}

void FillChannelLists(ControlSurface& surface, int region, int startItem, int endItem) {
  surface.ComboReset(idc::FreqStart);
  surface.ComboReset(idc::FreqEnd);
  const std::vector<std::int32_t> channels = RegionChannels(region);
  if (region < 0 || region >= kRegionCount) return;
  char item[32];
  for (std::size_t i = 0; i < channels.size(); ++i) {
    std::snprintf(item, sizeof item, "%02d--%d", static_cast<int>(i + 1), channels[i]);
    surface.ComboAdd(idc::FreqStart, item);
    surface.ComboAdd(idc::FreqEnd, item);
  }
  if (channels.empty()) return;
  if (startItem == -1 && endItem == -1) {
    surface.ComboSetSel(idc::FreqStart, 0);
    surface.ComboSetSel(idc::FreqEnd, static_cast<int>(channels.size()) - 1);
  } else {
    surface.ComboSetSel(idc::FreqStart, startItem);
    surface.ComboSetSel(idc::FreqEnd, endItem);
  }
}

void FillFrequencyLists(ControlSurface& surface, FrequencyBand band, int startItem, int endItem) {
  const FrequencyList& list = ListOf(band);
  std::vector<std::string> items;
  items.reserve(static_cast<std::size_t>(list.items));
  for (int i = 0; i < list.items; ++i) items.push_back(std::to_string(list.At(i)));
  FillList(surface, idc::FreqStart, items, startItem);
  FillList(surface, idc::FreqEnd, items, endItem);
}

void ShowFrequencyPlan(ControlSurface& surface, std::uint8_t readerKind,
                       const FrequencyPlan& plan) {
  if (readerKind == 2) {
    // The channel numbers travel as bytes; the channels shown are always those of region 0.
    FillChannelLists(surface, 0, static_cast<std::uint8_t>(plan.start) - 1,
                     static_cast<std::uint8_t>(plan.end) - 1);
    return;
  }
  const bool fcc = plan.start >= kFccList.first;
  const FrequencyBand band = fcc ? FrequencyBand::Fcc : FrequencyBand::Etsi;
  surface.SetCheck(idc::Fcc, fcc ? 1 : 0);
  surface.SetCheck(idc::Etsi, fcc ? 0 : 1);
  // 64-bit arithmetic: the reader's start may be any 32-bit value. The division truncates.
  const long long first =
      (static_cast<long long>(plan.start) - ListOf(band).first) / ListOf(band).step;
  FillFrequencyLists(surface, band, ItemIndex(first), ItemIndex(first + plan.count));
}

FrequencyPlan PlanFromControls(const ControlSurface& surface, std::uint8_t readerKind) {
  return PlanOfSelection(readerKind,
                         {surface.GetCheck(idc::Fcc) ? FrequencyBand::Fcc : FrequencyBand::Etsi,
                          surface.ComboGetSel(idc::FreqStart), surface.ComboGetSel(idc::FreqEnd)});
}

int SelectorItems(std::uint8_t readerKind, FrequencyBand band) {
  if (readerKind == 2) return static_cast<int>(RegionChannels(0).size());
  return ListOf(band).items;
}

PlanSelection SelectionOfPlan(std::uint8_t readerKind, const FrequencyPlan& plan) {
  const auto within = [](int item, int items) { return item >= 0 && item < items ? item : -1; };
  if (readerKind == 2) {
    // As FillChannelLists selects for region 0: -1 for both items selects the whole list.
    const int items = SelectorItems(2, FrequencyBand::Fcc);
    const int start = static_cast<std::uint8_t>(plan.start) - 1;
    const int end = static_cast<std::uint8_t>(plan.end) - 1;
    if (start == -1 && end == -1) return {FrequencyBand::Fcc, 0, items - 1};
    return {FrequencyBand::Fcc, within(start, items), within(end, items)};
  }
  const FrequencyBand band =
      plan.start >= kFccList.first ? FrequencyBand::Fcc : FrequencyBand::Etsi;
  const long long first =
      (static_cast<long long>(plan.start) - ListOf(band).first) / ListOf(band).step;
  const int items = ListOf(band).items;
  return {band, within(ItemIndex(first), items), within(ItemIndex(first + plan.count), items)};
}

FrequencyPlan PlanOfSelection(std::uint8_t readerKind, const PlanSelection& selection) {
  const int startItem = selection.startItem;
  const int endItem = selection.endItem;
  if (readerKind == 2) {
    return {kFormChannelRange, startItem + 1, endItem + 1, 0, 0};
  }
  const FrequencyList& list = ListOf(selection.band);
  return {kFormFrequencyRange, list.At(startItem), list.At(endItem), kRasterStep,
          static_cast<std::uint8_t>(endItem - startItem)};
}

int BandDefaultEndItem(FrequencyBand band) {
  return band == FrequencyBand::Fcc ? 30 : 3;
}

FrequencyPlan FactoryPlan(std::uint8_t readerKind, std::int32_t currentStart) {
  if (readerKind == 2) return {kFormChannelRange, 1, 63, 0, 0};
  if (currentStart >= kFccList.first) return {kFormFrequencyRange, 902000, 926000, kRasterStep, 48};
  return {kFormFrequencyRange, 865000, 868000, kRasterStep, 6};
}

}  // namespace uhf
