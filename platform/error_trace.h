// The developer trace of a failed platform call, written to standard error.
// File and line, the failing step, the result code by number and by name, written piece by piece (or to a
// sink a test installs).
#pragma once
#include <cstdint>

#include "platform/hresult.h"

// Receives one composed piece of a trace line (never null, never longer than 2999 characters).
using TraceSink = void (*)(const char* piece);

// Writes "file(line): ", "message ", "hr=NAME (0x........)" and a line feed, each as its own piece; file
// may be null (no first piece), message null, empty or over 1023 characters (no second piece).
// A line equal to the last one written is only counted; "last line repeated N times" (or "once") follows
// when a different line comes, a second after the count began (by GetTickCount), when the sink changes
// and at the process's normal end. Returns code unchanged, so callers can write `return TraceError(...)`.
HRESULT TraceError(const char* file, uint32_t line, HRESULT code, const char* message);

// The published symbolic name of code, or "Unknown". Never null.
const char* ErrorCodeName(HRESULT code);

// Sends every later piece to sink instead of standard error; null restores standard error. A count still
// held goes to the old sink, and the new one starts with no last line.
void SetTraceSink(TraceSink sink);
