// A stand-in driver library for the binding tests: every function of the C interface with its
// real signature, each returning its own status (STUB_STATUS + its place in tagvane.h) and
// writing nothing. The build hides some exports
// of some copies to make libraries that lack them.
#include "driver/tagvane.h"

#ifndef STUB_STATUS
#define STUB_STATUS 100
#endif

extern "C" {

TAGVANE_API int32_t TAGVANE_CALL OpenCom(int32_t, int32_t) {
  return STUB_STATUS + 0;
}
TAGVANE_API int32_t TAGVANE_CALL Net_Connect(const char*, int32_t, const char*, int32_t) {
  return STUB_STATUS + 1;
}
TAGVANE_API int32_t TAGVANE_CALL CloseCom(void) {
  return STUB_STATUS + 2;
}
TAGVANE_API int32_t TAGVANE_CALL Handshake(uint8_t, uint8_t, uint8_t*, uint8_t*) {
  return STUB_STATUS + 3;
}
TAGVANE_API int32_t TAGVANE_CALL Get_Version(uint8_t, char*) {
  return STUB_STATUS + 4;
}
TAGVANE_API int32_t TAGVANE_CALL Get_SerNum(uint8_t, uint8_t*) {
  return STUB_STATUS + 5;
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetAddress(uint8_t, uint8_t*) {
  return STUB_STATUS + 6;
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetAddress(uint8_t, uint8_t) {
  return STUB_STATUS + 7;
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetWorkMode(uint8_t, uint8_t*) {
  return STUB_STATUS + 8;
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetWorkMode(uint8_t, uint8_t) {
  return STUB_STATUS + 9;
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetTriggerTime(uint8_t, uint8_t*) {
  return STUB_STATUS + 10;
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetTriggerTime(uint8_t, uint8_t) {
  return STUB_STATUS + 11;
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetWgIntervalTime(uint8_t, uint8_t*) {
  return STUB_STATUS + 12;
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetWgIntervalTime(uint8_t, uint8_t) {
  return STUB_STATUS + 13;
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetWeigand(uint8_t, uint8_t*) {
  return STUB_STATUS + 14;
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetWeigand(uint8_t, uint8_t) {
  return STUB_STATUS + 15;
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetReadTagIntervalTime(uint8_t, uint8_t*) {
  return STUB_STATUS + 16;
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetReadTagIntervalTime(uint8_t, uint8_t) {
  return STUB_STATUS + 17;
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetOutPower(uint8_t, uint8_t*) {
  return STUB_STATUS + 18;
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetOutPower(uint8_t, uint8_t) {
  return STUB_STATUS + 19;
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetBuzzer(uint8_t, uint8_t*) {
  return STUB_STATUS + 20;
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetBuzzer(uint8_t, uint8_t) {
  return STUB_STATUS + 21;
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetWgOutByte(uint8_t, uint8_t*) {
  return STUB_STATUS + 22;
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetWgOutByte(uint8_t, const uint8_t*) {
  return STUB_STATUS + 23;
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetPassword(uint8_t, uint8_t*, uint8_t*) {
  return STUB_STATUS + 24;
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetPassword(uint8_t, uint8_t, const uint8_t*) {
  return STUB_STATUS + 25;
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetFrequencyRegion(uint8_t, uint8_t*, int32_t*, int32_t*,
                                                       int32_t*, uint8_t*) {
  return STUB_STATUS + 26;
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetFrequencyRegion(uint8_t, uint8_t, int32_t, int32_t, int32_t,
                                                       uint8_t) {
  return STUB_STATUS + 27;
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetFrequencyRegionB(uint8_t, uint8_t, int32_t, int32_t, int32_t,
                                                        uint8_t) {
  return STUB_STATUS + 28;
}
TAGVANE_API int32_t TAGVANE_CALL UhfFactoryDefault(uint8_t) {
  return STUB_STATUS + 29;
}
TAGVANE_API int32_t TAGVANE_CALL UhfReadTag(uint8_t, uint8_t*, uint8_t*) {
  return STUB_STATUS + 30;
}
TAGVANE_API int32_t TAGVANE_CALL EpcOutput(const uint8_t*, uint8_t, uint8_t, int32_t, int32_t,
                                           uint8_t*) {
  return STUB_STATUS + 31;
}
TAGVANE_API int32_t TAGVANE_CALL hex_a(const uint8_t*, char*, int32_t) {
  return STUB_STATUS + 32;
}
TAGVANE_API int32_t TAGVANE_CALL a_hex(const char*, uint8_t*, int32_t) {
  return STUB_STATUS + 33;
}

}  // extern "C"
