// libtagvane.so as the simulated reader, with its settings in DefaultStatePath(); and the data
// symbol by which the tool recognises it as simulated.
#include "driver/tagvane.h"
#include "sim/ExportedDevice.h"
#include "sim/SimulatedReader.h"

// extern "C" on the declaration itself gives the constant external linkage.
extern "C" TAGVANE_API const char tagvane_simulated_reader[] = "simulated reader";

namespace uhf {
namespace {

SimulatedReader& Reader() {
  static SimulatedReader reader(SimOptions{DefaultStatePath(), 0, false});
  return reader;
}

}  // namespace

ReaderDriver& ExportedDevice() {
  return Reader();
}

void AfterExportedCall() {
  Reader().ClearCalls();  // nobody reads the call record here
}

}  // namespace uhf
