#pragma once
// A decorator that passes every call on to another driver and records the operation's name and
// the status it returned: lets a test judge what the window showed against what the driver
// answered, whatever the driver is (a library bound at run time included). The operations use
// the same decorator to report the calls they made.

#include "reader/CallLog.h"

namespace uhf::testing {

using RecordingDriver = CallLog;

}  // namespace uhf::testing
