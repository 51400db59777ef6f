/* C interface of the reader driver library (libtagvane.so, tagvane.dll): the operations of
 * tagvane_operations.h as C functions. Every function returns a 32-bit status, 0 = success.
 * `addr` is the bus address (always 255 from this tool). Buffers belong to the caller. */
#ifndef TAGVANE_H
#define TAGVANE_H

#include <stdint.h>

#include "tagvane_operations.h"

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

#define TAGVANE_DECLARE(ret, name, params, args) TAGVANE_API ret TAGVANE_CALL name params;
TAGVANE_OPERATIONS(TAGVANE_DECLARE)
#undef TAGVANE_DECLARE

#ifdef __cplusplus
}
#endif

#endif /* TAGVANE_H */
