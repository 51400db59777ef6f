#include "app/EngineeringPanel.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "dialog/ControlIds.h"
#include "driver/LoggingDriver.h"
#include "tags/TagListCsv.h"
#include "tags/WiegandBits.h"
#include "text/Utf8Path.h"

namespace uhf {
namespace {

// The buttons whose handlers call the reader: off while the worker owns the driver.
constexpr int kReaderButtons[] = {
    idc::Connect,    idc::Disconnect, idc::FactoryDefault,     idc::SaveChanges,
    idc::ReadConfig, idc::ReadTag,    idc::ReadTagTestDecimal, idc::ReadTagTestHex,
    idc::ReadTagUsb, idc::SetAddress, idc::GetAddress};

// Room for any cell of the tag list.
constexpr std::size_t kCellRoom = 256;

// "tags_20261207_092120.csv": a name that sorts by time and never repeats within a session.
std::string SuggestedName(std::string_view stem, std::string_view extension) {
  std::string stamp;
  for (char c : ExchangeLogTime().substr(0, 19)) {
    if (c == ' ') stamp += '_';
    if (c >= '0' && c <= '9') stamp += c;
  }
  return std::string(stem) + "_" + stamp + "." + std::string(extension);
}

// The list holds decimal Wiegand card numbers: the export adds their frames.
bool HoldsWiegandCards(const ControlSurface& surface) {
  for (int row = 0; row < surface.ListCount(idc::TagList); ++row) {
    if (WiegandFrameOfCardText(
            surface.ListGetItemText(idc::TagList, row, kTagColumnCard, kCellRoom)))
      return true;
  }
  return false;
}

}  // namespace

EngineeringPanel::EngineeringPanel(DialogContext& ctx, TagReads& reads, ExchangeLogLines& log)
    : ctx_(ctx),
      reads_(reads),
      log_(log),
      continuous_(
          ctx, reads,
          {.post = [&surface = ctx.surface](
                       std::function<void()> task) { surface.PostToWindowThread(std::move(task)); },
           .counted =
               [this](const ContinuousReads::Batch&) {
                 ShowFigures();
                 const auto now = std::chrono::steady_clock::now();
                 if (now - paneShown_ < kPaneInterval) return;
                 paneShown_ = now;
                 ShowNewLogLines();
               },
           .now = {}}) {
  AddSeenColumns(ctx_.surface);
  ShowNewLogLines();
}

EngineeringPanel::~EngineeringPanel() {
  continuous_.Stop();
}

void EngineeringPanel::OnCommand(int id, Notification notification) {
  if (notification == Notification::SelectionChanged) {
    if (id == idc::TagList) ShowSelectedFrame();
    return;
  }
  if (notification == Notification::Clicked) {
    switch (id) {
      case idc::ReadTag:
        lastWay_ = ReadWay::ReadTag;
        break;
      case idc::ReadTagTestDecimal:
      case idc::ReadTagUsb:
        lastWay_ = ReadWay::Decimal;
        break;
      case idc::ReadTagTestHex:
        lastWay_ = ReadWay::Hexadecimal;
        break;
      case idc::ClearTags:
        OnClear();
        break;
      case idc::ExportCsv:
        OnExportCsv();
        break;
      case idc::StartStopReads:
        Reading() ? StopReading() : StartReading();
        break;
      case idc::CopyLog:
        OnCopyLog();
        break;
      case idc::SaveLog:
        OnSaveLog();
        break;
      default:
        break;
    }
  }
  // Any handler may have read a tag, cleared the list or called the reader.
  ShowFigures();
  ShowNewLogLines();
}

void EngineeringPanel::StartReading() {
  if (!refusal_.empty()) return ctx_.ShowMessage(refusal_);
  if (Reading() || !ctx_.UpdateData(true)) return;
  const auto interval = ContinuousReads::IntervalOf(ctx_.state.values.tagInterval);
  if (!continuous_.Start(lastWay_, interval)) return;
  lockedButtons_.clear();
  for (int id : kReaderButtons) {
    lockedButtons_.emplace_back(id, ctx_.surface.IsEnabled(id));
    ctx_.surface.Enable(id, false);
  }
  ctx_.surface.SetText(idc::StartStopReads, kStopText);
}

void EngineeringPanel::StopReading() {
  if (!Reading()) return;
  continuous_.Stop();
  for (const auto& [id, enabled] : lockedButtons_) ctx_.surface.Enable(id, enabled);
  lockedButtons_.clear();
  ctx_.surface.SetText(idc::StartStopReads, kStartText);
  ShowFigures();
  ShowNewLogLines();
}

void EngineeringPanel::OnClear() {
  reads_.ClearList();
  ctx_.surface.SetText(idc::WiegandDetail, "");
}

void EngineeringPanel::OnExportCsv() {
  const auto path =
      ctx_.surface.AskSaveFileName("Export CSV", SuggestedName("tags", "csv"), "CSV files", "csv");
  if (!path) return;
  std::string error;
  if (!ExportTagListCsv(ctx_.surface, *path, HoldsWiegandCards(ctx_.surface), error))
    ShowError("Cannot write " + PathText(*path), error);
}

void EngineeringPanel::OnCopyLog() {
  if (!ctx_.surface.CopyToClipboard(log_.Text()))
    ctx_.ShowMessage("The clipboard is in use by another program; try Copy again.");
}

void EngineeringPanel::OnSaveLog() {
  const auto path = ctx_.surface.AskSaveFileName(
      "Save exchange log", SuggestedName("exchange", "log"), "Log files", "log");
  if (!path) return;
  std::string error;
  if (!log_.Save(*path, error)) ShowError("Cannot write " + PathText(*path), error);
}

void EngineeringPanel::ShowFigures() {
  const TagInventory& inventory = reads_.Inventory();
  char rate[32];
  std::snprintf(rate, sizeof rate, "Reads/s: %.1f", inventory.ReadsPerSecond(reads_.Now().steady));
  ControlSurface& surface = ctx_.surface;
  surface.SetText(idc::TotalReadsLabel, "Total reads: " + std::to_string(inventory.TotalReads()));
  surface.SetText(idc::UniqueTagsLabel, "Unique tags: " + std::to_string(inventory.UniqueTags()));
  surface.SetText(idc::ReadRateLabel, rate);
}

void EngineeringPanel::ShowSelectedFrame() {
  const ControlSurface& surface = ctx_.surface;
  const int row = surface.ListGetSelection(idc::TagList);
  std::string detail;
  if (row >= 0) {
    const auto frame = WiegandFrameOfCardText(
        surface.ListGetItemText(idc::TagList, row, kTagColumnCard, kCellRoom));
    detail = frame ? WiegandDetailText(*frame) : "Not a Wiegand card number";
  }
  ctx_.surface.SetText(idc::WiegandDetail, detail);
}

void EngineeringPanel::ShowNewLogLines() {
  const std::string lines = log_.TextSince(logShown_);
  if (!lines.empty()) ctx_.surface.AppendLines(idc::ExchangeLog, lines, kPaneLines);
}

void EngineeringPanel::ShowError(std::string_view what, std::string_view error) {
  std::string text(what);
  if (!error.empty()) text.append(": ").append(error);
  ctx_.ShowMessage(text);
}

}  // namespace uhf
