/* C interface of the reader driver library (libtagvane.so, tagvane.dll).
 * Every function returns a 32-bit status, 0 = success. `addr` is the bus address (always 255
 * from this tool). Buffers belong to the caller. */
#ifndef TAGVANE_H
#define TAGVANE_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define TAGVANE_CALL __stdcall
#else
#define TAGVANE_CALL
#endif

#if defined(TAGVANE_BUILDING_LIBRARY)
#if defined(_WIN32)
#define TAGVANE_API /* a module-definition file names the exports, undecorated */
#else
#define TAGVANE_API __attribute__((visibility("default")))
#endif
#else
#define TAGVANE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Link. port: serial port number - 1, or 100 for USB. */
TAGVANE_API int32_t TAGVANE_CALL OpenCom(int32_t port, int32_t baud);
TAGVANE_API int32_t TAGVANE_CALL Net_Connect(const char* hostIp, int32_t hostPort,
                                             const char* readerIp, int32_t readerPort);
TAGVANE_API int32_t TAGVANE_CALL CloseCom(void);
TAGVANE_API int32_t TAGVANE_CALL Handshake(uint8_t addr, uint8_t connecting, uint8_t* readerKind,
                                           uint8_t* extra);

/* Identity. version: NUL-terminated, buffer of at least 30 bytes; serial: 12 bytes. */
TAGVANE_API int32_t TAGVANE_CALL Get_Version(uint8_t addr, char* version);
TAGVANE_API int32_t TAGVANE_CALL Get_SerNum(uint8_t addr, uint8_t* serial);

/* Byte settings. */
TAGVANE_API int32_t TAGVANE_CALL UhfGetAddress(uint8_t addr, uint8_t* value);
TAGVANE_API int32_t TAGVANE_CALL UhfSetAddress(uint8_t addr, uint8_t value);
TAGVANE_API int32_t TAGVANE_CALL UhfGetWorkMode(uint8_t addr, uint8_t* value);
TAGVANE_API int32_t TAGVANE_CALL UhfSetWorkMode(uint8_t addr, uint8_t value);
TAGVANE_API int32_t TAGVANE_CALL UhfGetTriggerTime(uint8_t addr, uint8_t* value);
TAGVANE_API int32_t TAGVANE_CALL UhfSetTriggerTime(uint8_t addr, uint8_t value);
TAGVANE_API int32_t TAGVANE_CALL UhfGetWgIntervalTime(uint8_t addr, uint8_t* value);
TAGVANE_API int32_t TAGVANE_CALL UhfSetWgIntervalTime(uint8_t addr, uint8_t value);
TAGVANE_API int32_t TAGVANE_CALL UhfGetWeigand(uint8_t addr, uint8_t* value);
TAGVANE_API int32_t TAGVANE_CALL UhfSetWeigand(uint8_t addr, uint8_t value);
TAGVANE_API int32_t TAGVANE_CALL UhfGetReadTagIntervalTime(uint8_t addr, uint8_t* value);
TAGVANE_API int32_t TAGVANE_CALL UhfSetReadTagIntervalTime(uint8_t addr, uint8_t value);
TAGVANE_API int32_t TAGVANE_CALL UhfGetOutPower(uint8_t addr, uint8_t* value);
TAGVANE_API int32_t TAGVANE_CALL UhfSetOutPower(uint8_t addr, uint8_t value);
TAGVANE_API int32_t TAGVANE_CALL UhfGetBuzzer(uint8_t addr, uint8_t* value);
TAGVANE_API int32_t TAGVANE_CALL UhfSetBuzzer(uint8_t addr, uint8_t value);

/* Wiegand output record: lead byte, start byte, length, inverted flag (4 bytes). */
TAGVANE_API int32_t TAGVANE_CALL UhfGetWgOutByte(uint8_t addr, uint8_t* record);
TAGVANE_API int32_t TAGVANE_CALL UhfSetWgOutByte(uint8_t addr, const uint8_t* record);

/* Check password: flag 1 = check on, 4 password bytes. */
TAGVANE_API int32_t TAGVANE_CALL UhfGetPassword(uint8_t addr, uint8_t* enabled, uint8_t* password);
TAGVANE_API int32_t TAGVANE_CALL UhfSetPassword(uint8_t addr, uint8_t enabled,
                                                const uint8_t* password);

/* Frequency plan: form 4 = frequency range in kHz, form 5 = channel range. */
TAGVANE_API int32_t TAGVANE_CALL UhfGetFrequencyRegion(uint8_t addr, uint8_t* form, int32_t* start,
                                                       int32_t* end, int32_t* step, uint8_t* count);
TAGVANE_API int32_t TAGVANE_CALL UhfSetFrequencyRegion(uint8_t addr, uint8_t form, int32_t start,
                                                       int32_t end, int32_t step, uint8_t count);
TAGVANE_API int32_t TAGVANE_CALL UhfSetFrequencyRegionB(uint8_t addr, uint8_t form, int32_t start,
                                                        int32_t end, int32_t step, uint8_t count);
TAGVANE_API int32_t TAGVANE_CALL UhfFactoryDefault(uint8_t addr);

/* Tags. reply: 256 bytes; *length receives the reply length. */
TAGVANE_API int32_t TAGVANE_CALL UhfReadTag(uint8_t addr, uint8_t* reply, uint8_t* length);
TAGVANE_API int32_t TAGVANE_CALL EpcOutput(const uint8_t* epc, uint8_t epcLength, uint8_t inverted,
                                           int32_t startByte, int32_t length, uint8_t* out);

/* Text helpers: bytes to lowercase hexadecimal text (textLength = 2 x bytes) and back. */
TAGVANE_API int32_t TAGVANE_CALL hex_a(const uint8_t* bytes, char* text, int32_t textLength);
TAGVANE_API int32_t TAGVANE_CALL a_hex(const char* text, uint8_t* bytes, int32_t textLength);

#ifdef __cplusplus
}
#endif

#endif /* TAGVANE_H */
