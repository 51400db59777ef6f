// One batch of exchange lines appended to a log pane already holding its maximum of lines, on the
// real Qt rich edit of a shown window (offscreen), including the layout and paint that follow.
// The engineering view appends about 250 lines 20 times a second to a pane of 10,000 lines, so a
// batch has 50 ms at most and should take a small part of that.

#include <QCoreApplication>
#include <QDialog>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "ui/DialogTemplate.h"
#include "ui/qt/QtSurface.h"

namespace {

constexpr int kPane = 100;

uhf::DialogTemplate PaneTemplate() {
  uhf::DialogTemplate tpl;
  tpl.caption = "Log";
  tpl.widthDu = 400;
  tpl.heightDu = 200;
  tpl.fontFace = "MS Shell Dlg";
  tpl.fontPoints = 9;
  tpl.controls.push_back(
      {kPane,
       uhf::ControlKind::RichEdit,
       "",
       {5, 5, 390, 190},
       uhf::kStyleReadOnly | uhf::kStyleMultiline | uhf::kStyleBorder | uhf::kStyleLog,
       true,
       true});
  return tpl;
}

// `count` lines as an exchange log writes them: a time, a direction, a frame in hex.
std::string Lines(int first, int count) {
  std::string text;
  char line[160];
  for (int n = first; n < first + count; ++n) {
    std::snprintf(line, sizeof line,
                  "%02d:%02d:%02d.%03d -> A0 13 01 89 %02X 00 01 E2 00 34 12 01 6B 02 00 %04X "
                  "53 61 8C 2A\n",
                  n / 3600000 % 24, n / 60000 % 60, n / 1000 % 60, n % 1000, n % 256, n % 65536);
    text += line;
  }
  return text;
}

void BM_AppendToFullPane(benchmark::State& state) {
  const int maxLines = static_cast<int>(state.range(0));
  const int batch = static_cast<int>(state.range(1));
  uhf::QtSurface surface(PaneTemplate());
  surface.Window()->show();
  surface.AppendLines(kPane, Lines(0, maxLines), maxLines);
  QCoreApplication::processEvents();
  int next = maxLines;
  for (auto _ : state) {
    surface.AppendLines(kPane, Lines(next, batch), maxLines);
    QCoreApplication::processEvents();  // the layout and paint the append leads to
    next += batch;
  }
  state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_AppendToFullPane)
    ->Args({10000, 250})
    ->Args({10000, 1})
    ->Args({1000, 250})
    ->Unit(benchmark::kMillisecond);

}  // namespace
