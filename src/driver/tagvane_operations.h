/* The 34 operations of the reader driver library, listed once, in the order of the library's
 * interface. Everything that names them all (the C declarations, the C++ interface, the binding,
 * the decorators, the export lists of the build) is made from this list.
 *
 * TAGVANE_OPERATIONS(X) expands X(ret, name, (parameters), (arguments)) for each operation:
 * its return type, its export name, its parameter list as declared and the same parameters as
 * the arguments of a call that passes them on.
 *
 * Every operation returns a 32-bit status, 0 = success. `addr` is the bus address. Buffers
 * belong to the caller:
 *   OpenCom         port: serial port number - 1, or 100 for USB
 *   Get_Version     version: NUL-terminated, buffer of at least 30 bytes
 *   Get_SerNum      serial: 12 bytes
 *   Uhf*WgOutByte   record: lead byte, start byte, length, inverted flag (4 bytes)
 *   Uhf*Password    enabled 1 = check on; password: 4 bytes
 *   Uhf*Frequency*  form 4 = frequency range in kHz, form 5 = channel range
 *   UhfReadTag      reply: 256 bytes; *length receives the reply length
 *   hex_a, a_hex    bytes to lowercase hexadecimal text (textLength = 2 x bytes) and back */
#ifndef TAGVANE_OPERATIONS_H
#define TAGVANE_OPERATIONS_H

#include <stdint.h>

/* clang-format off */
#define TAGVANE_OPERATIONS(X) \
  X(int32_t, OpenCom, (int32_t port, int32_t baud), (port, baud)) \
  X(int32_t, Net_Connect, (const char* hostIp, int32_t hostPort, const char* readerIp, int32_t readerPort), (hostIp, hostPort, readerIp, readerPort)) \
  X(int32_t, CloseCom, (void), ()) \
  X(int32_t, Handshake, (uint8_t addr, uint8_t connecting, uint8_t* readerKind, uint8_t* extra), (addr, connecting, readerKind, extra)) \
  X(int32_t, Get_Version, (uint8_t addr, char* version), (addr, version)) \
  X(int32_t, Get_SerNum, (uint8_t addr, uint8_t* serial), (addr, serial)) \
  X(int32_t, UhfGetAddress, (uint8_t addr, uint8_t* value), (addr, value)) \
  X(int32_t, UhfSetAddress, (uint8_t addr, uint8_t value), (addr, value)) \
  X(int32_t, UhfGetWorkMode, (uint8_t addr, uint8_t* value), (addr, value)) \
  X(int32_t, UhfSetWorkMode, (uint8_t addr, uint8_t value), (addr, value)) \
  X(int32_t, UhfGetTriggerTime, (uint8_t addr, uint8_t* value), (addr, value)) \
  X(int32_t, UhfSetTriggerTime, (uint8_t addr, uint8_t value), (addr, value)) \
  X(int32_t, UhfGetWgIntervalTime, (uint8_t addr, uint8_t* value), (addr, value)) \
  X(int32_t, UhfSetWgIntervalTime, (uint8_t addr, uint8_t value), (addr, value)) \
  X(int32_t, UhfGetWeigand, (uint8_t addr, uint8_t* value), (addr, value)) \
  X(int32_t, UhfSetWeigand, (uint8_t addr, uint8_t value), (addr, value)) \
  X(int32_t, UhfGetReadTagIntervalTime, (uint8_t addr, uint8_t* value), (addr, value)) \
  X(int32_t, UhfSetReadTagIntervalTime, (uint8_t addr, uint8_t value), (addr, value)) \
  X(int32_t, UhfGetOutPower, (uint8_t addr, uint8_t* value), (addr, value)) \
  X(int32_t, UhfSetOutPower, (uint8_t addr, uint8_t value), (addr, value)) \
  X(int32_t, UhfGetBuzzer, (uint8_t addr, uint8_t* value), (addr, value)) \
  X(int32_t, UhfSetBuzzer, (uint8_t addr, uint8_t value), (addr, value)) \
  X(int32_t, UhfGetWgOutByte, (uint8_t addr, uint8_t* record), (addr, record)) \
  X(int32_t, UhfSetWgOutByte, (uint8_t addr, const uint8_t* record), (addr, record)) \
  X(int32_t, UhfGetPassword, (uint8_t addr, uint8_t* enabled, uint8_t* password), (addr, enabled, password)) \
  X(int32_t, UhfSetPassword, (uint8_t addr, uint8_t enabled, const uint8_t* password), (addr, enabled, password)) \
  X(int32_t, UhfGetFrequencyRegion, (uint8_t addr, uint8_t* form, int32_t* start, int32_t* end, int32_t* step, uint8_t* count), (addr, form, start, end, step, count)) \
  X(int32_t, UhfSetFrequencyRegion, (uint8_t addr, uint8_t form, int32_t start, int32_t end, int32_t step, uint8_t count), (addr, form, start, end, step, count)) \
  X(int32_t, UhfSetFrequencyRegionB, (uint8_t addr, uint8_t form, int32_t start, int32_t end, int32_t step, uint8_t count), (addr, form, start, end, step, count)) \
  X(int32_t, UhfFactoryDefault, (uint8_t addr), (addr)) \
  X(int32_t, UhfReadTag, (uint8_t addr, uint8_t* reply, uint8_t* length), (addr, reply, length)) \
  X(int32_t, EpcOutput, (const uint8_t* epc, uint8_t epcLength, uint8_t inverted, int32_t startByte, int32_t length, uint8_t* out), (epc, epcLength, inverted, startByte, length, out)) \
  X(int32_t, hex_a, (const uint8_t* bytes, char* text, int32_t textLength), (bytes, text, textLength)) \
  X(int32_t, a_hex, (const char* text, uint8_t* bytes, int32_t textLength), (text, bytes, textLength))
/* clang-format on */

#endif /* TAGVANE_OPERATIONS_H */
