#include "dialog/BoundValues.h"

#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "ui/DataExchange.h"

namespace uhf {

bool ExchangeBoundValues(ControlSurface& surface, BoundValues& values, bool save) {
  DataExchange dx(surface, save, kAppTitle);
  dx.Text(idc::StatusPanel, values.statusText);
  dx.Text(idc::Password, values.checkPassword, kPasswordMaxChars);
  dx.Unsigned(idc::TagInterval, values.tagInterval, 0, kTagIntervalMax);
  dx.Byte(idc::PowerValue, values.powerValue);
  dx.Byte(idc::OutputTime, values.outputTime);
  dx.Byte(idc::ReaderAddress, values.readerAddress);
  dx.Byte(idc::ReadTime, values.readTime);
  dx.Text(idc::VersionLabel, values.versionText);
  dx.Unsigned(idc::HostPort, values.hostPort, 0, kPortMax);
  dx.Unsigned(idc::ReaderPort, values.readerPort, 0, kPortMax);
  dx.Text(idc::SerialNumberLabel, values.serialNumberText);
  return dx.ok();
}

}  // namespace uhf
