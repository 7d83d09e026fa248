// The error trace: result code names, the pieces of a trace line, and repeated lines held back.
#include "platform/error_trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/tick_count.h"

namespace {

struct CodeName {
  uint32_t code;
  const char* name;
};

// Published names by exact value. Where several published names share a value, the first family below
// wins (generic COM, then sound, 3-D, sprite library, system, input), so 0 is S_OK and 0x80004005 is
// E_FAIL; every value appears once, so the lookup is deterministic.
constexpr CodeName codeNames[] = {
    // Generic COM codes.
    {0x00000000, "S_OK"},
    {0x00000001, "S_FALSE"},
    {0x8000FFFF, "E_UNEXPECTED"},
    {0x80004001, "E_NOTIMPL"},
    {0x8007000E, "E_OUTOFMEMORY"},
    {0x80070057, "E_INVALIDARG"},
    {0x80004002, "E_NOINTERFACE"},
    {0x80004003, "E_POINTER"},
    {0x80070006, "E_HANDLE"},
    {0x80004004, "E_ABORT"},
    {0x80004005, "E_FAIL"},
    {0x80070005, "E_ACCESSDENIED"},
    {0x8000000A, "E_PENDING"},
    {0x8000000B, "E_BOUNDS"},
    {0x80070490, "E_NOT_SET"},
    {0x8007139F, "E_NOT_VALID_STATE"},
    {0x8007007A, "E_NOT_SUFFICIENT_BUFFER"},
    {0x800401F0, "CO_E_NOTINITIALIZED"},
    {0x800401F1, "CO_E_ALREADYINITIALIZED"},
    {0x80004021, "CO_E_NOT_SUPPORTED"},
    {0x80040110, "CLASS_E_NOAGGREGATION"},
    {0x80040111, "CLASS_E_CLASSNOTAVAILABLE"},
    {0x80040154, "REGDB_E_CLASSNOTREG"},
    {0x80040150, "REGDB_E_READREGDB"},
    {0x80040155, "REGDB_E_IIDNOTREG"},
    {0x80010106, "RPC_E_CHANGED_MODE"},
    {0x8001010E, "RPC_E_WRONG_THREAD"},
    {0x00080012, "CO_S_NOTALLINTERFACES"},
    {0x80030002, "STG_E_FILENOTFOUND"},
    {0x80030003, "STG_E_PATHNOTFOUND"},
    {0x80030005, "STG_E_ACCESSDENIED"},
    {0x80030008, "STG_E_INSUFFICIENTMEMORY"},
    {0x80030009, "STG_E_INVALIDPOINTER"},
    {0x80030070, "STG_E_MEDIUMFULL"},
    {0x80020003, "DISP_E_MEMBERNOTFOUND"},
    {0x80020005, "DISP_E_TYPEMISMATCH"},
    {0x8002000A, "DISP_E_OVERFLOW"},
    {0x8002802B, "TYPE_E_ELEMENTNOTFOUND"},
    {0x80040007, "OLE_E_BLANK"},
    // Sound device codes.
    {0x0878000A, "DS_NO_VIRTUALIZATION"},
    {0x08780014, "DS_INCOMPLETE"},
    {0x8878000A, "DSERR_ALLOCATED"},
    {0x8878001E, "DSERR_CONTROLUNAVAIL"},
    {0x88780032, "DSERR_INVALIDCALL"},
    {0x88780046, "DSERR_PRIOLEVELNEEDED"},
    {0x88780064, "DSERR_BADFORMAT"},
    {0x88780078, "DSERR_NODRIVER"},
    {0x88780082, "DSERR_ALREADYINITIALIZED"},
    {0x88780096, "DSERR_BUFFERLOST"},
    {0x887800A0, "DSERR_OTHERAPPHASPRIO"},
    {0x887800AA, "DSERR_UNINITIALIZED"},
    {0x887800B4, "DSERR_BUFFERTOOSMALL"},
    {0x887800BE, "DSERR_DS8_REQUIRED"},
    {0x887800C8, "DSERR_SENDLOOP"},
    {0x887800D2, "DSERR_BADSENDBUFFERGUID"},
    {0x887800DC, "DSERR_FXUNAVAILABLE"},
    {0x88781161, "DSERR_OBJECTNOTFOUND"},
    // 3-D device codes.
    {0x88760818, "D3DERR_WRONGTEXTUREFORMAT"},
    {0x88760819, "D3DERR_UNSUPPORTEDCOLOROPERATION"},
    {0x8876081A, "D3DERR_UNSUPPORTEDCOLORARG"},
    {0x8876081B, "D3DERR_UNSUPPORTEDALPHAOPERATION"},
    {0x8876081C, "D3DERR_UNSUPPORTEDALPHAARG"},
    {0x8876081D, "D3DERR_TOOMANYOPERATIONS"},
    {0x8876081E, "D3DERR_CONFLICTINGTEXTUREFILTER"},
    {0x8876081F, "D3DERR_UNSUPPORTEDFACTORVALUE"},
    {0x88760821, "D3DERR_CONFLICTINGRENDERSTATE"},
    {0x88760822, "D3DERR_UNSUPPORTEDTEXTUREFILTER"},
    {0x88760826, "D3DERR_CONFLICTINGTEXTUREPALETTE"},
    {0x88760827, "D3DERR_DRIVERINTERNALERROR"},
    {0x88760866, "D3DERR_NOTFOUND"},
    {0x88760867, "D3DERR_MOREDATA"},
    {0x88760868, "D3DERR_DEVICELOST"},
    {0x88760869, "D3DERR_DEVICENOTRESET"},
    {0x8876086A, "D3DERR_NOTAVAILABLE"},
    {0x8876017C, "D3DERR_OUTOFVIDEOMEMORY"},
    {0x8876086B, "D3DERR_INVALIDDEVICE"},
    {0x8876086C, "D3DERR_INVALIDCALL"},
    {0x8876086D, "D3DERR_DRIVERINVALIDCALL"},
    {0x8876021C, "D3DERR_WASSTILLDRAWING"},
    {0x0876086F, "D3DOK_NOAUTOGEN"},
    {0x88760870, "D3DERR_DEVICEREMOVED"},
    {0x88760874, "D3DERR_DEVICEHUNG"},
    {0x08760875, "S_NOT_RESIDENT"},
    {0x08760876, "S_RESIDENT_IN_SHARED_MEMORY"},
    {0x08760877, "S_PRESENT_MODE_CHANGED"},
    {0x08760878, "S_PRESENT_OCCLUDED"},
    {0x8876087B, "D3DERR_UNSUPPORTEDOVERLAY"},
    {0x8876087C, "D3DERR_UNSUPPORTEDOVERLAYFORMAT"},
    {0x8876087D, "D3DERR_CANNOTPROTECTCONTENT"},
    {0x8876087E, "D3DERR_UNSUPPORTEDCRYPTO"},
    {0x88760884, "D3DERR_PRESENT_STATISTICS_DISJOINT"},
    // Sprite and mesh library codes.
    {0x88760B54, "D3DXERR_CANNOTMODIFYINDEXBUFFER"},
    {0x88760B55, "D3DXERR_INVALIDMESH"},
    {0x88760B56, "D3DXERR_CANNOTATTRSORT"},
    {0x88760B57, "D3DXERR_SKINNINGNOTSUPPORTED"},
    {0x88760B58, "D3DXERR_TOOMANYINFLUENCES"},
    {0x88760B59, "D3DXERR_INVALIDDATA"},
    {0x88760B5A, "D3DXERR_LOADEDMESHASNODATA"},
    {0x88760B5B, "D3DXERR_DUPLICATENAMEDFRAGMENT"},
    {0x88760B5C, "D3DXERR_CANNOTREMOVELASTITEM"},
    // System error codes in their result-code form.
    {0x80070001, "ERROR_INVALID_FUNCTION"},
    {0x80070002, "ERROR_FILE_NOT_FOUND"},
    {0x80070003, "ERROR_PATH_NOT_FOUND"},
    {0x80070004, "ERROR_TOO_MANY_OPEN_FILES"},
    {0x80070008, "ERROR_NOT_ENOUGH_MEMORY"},
    {0x8007000B, "ERROR_BAD_FORMAT"},
    {0x8007000C, "ERROR_INVALID_ACCESS"},
    {0x8007000D, "ERROR_INVALID_DATA"},
    {0x8007000F, "ERROR_INVALID_DRIVE"},
    {0x80070012, "ERROR_NO_MORE_FILES"},
    {0x80070013, "ERROR_WRITE_PROTECT"},
    {0x80070015, "ERROR_NOT_READY"},
    {0x80070017, "ERROR_CRC"},
    {0x80070019, "ERROR_SEEK"},
    {0x8007001D, "ERROR_WRITE_FAULT"},
    {0x8007001E, "ERROR_READ_FAULT"},
    {0x8007001F, "ERROR_GEN_FAILURE"},
    {0x80070020, "ERROR_SHARING_VIOLATION"},
    {0x80070021, "ERROR_LOCK_VIOLATION"},
    {0x80070026, "ERROR_HANDLE_EOF"},
    {0x80070027, "ERROR_HANDLE_DISK_FULL"},
    {0x80070032, "ERROR_NOT_SUPPORTED"},
    {0x80070050, "ERROR_FILE_EXISTS"},
    {0x8007006D, "ERROR_BROKEN_PIPE"},
    {0x80070070, "ERROR_DISK_FULL"},
    {0x80070077, "ERROR_BAD_DRIVER_LEVEL"},
    {0x80070078, "ERROR_CALL_NOT_IMPLEMENTED"},
    {0x8007007B, "ERROR_INVALID_NAME"},
    {0x8007007E, "ERROR_MOD_NOT_FOUND"},
    {0x8007007F, "ERROR_PROC_NOT_FOUND"},
    {0x800700AA, "ERROR_BUSY"},
    {0x800700B7, "ERROR_ALREADY_EXISTS"},
    {0x800700C1, "ERROR_BAD_EXE_FORMAT"},
    {0x800700CB, "ERROR_ENVVAR_NOT_FOUND"},
    {0x800700E8, "ERROR_NO_DATA"},
    {0x800700EA, "ERROR_MORE_DATA"},
    {0x80070103, "ERROR_NO_MORE_ITEMS"},
    {0x8007010B, "ERROR_DIRECTORY"},
    {0x8007012B, "ERROR_PARTIAL_COPY"},
    {0x80070216, "ERROR_ARITHMETIC_OVERFLOW"},
    {0x800703E3, "ERROR_OPERATION_ABORTED"},
    {0x800703E4, "ERROR_IO_INCOMPLETE"},
    {0x800703E5, "ERROR_IO_PENDING"},
    {0x800703E6, "ERROR_NOACCESS"},
    {0x800703EC, "ERROR_INVALID_FLAGS"},
    {0x8007045A, "ERROR_DLL_INIT_FAILED"},
    {0x8007047E, "ERROR_OLD_WIN_VERSION"},
    {0x80070481, "ERROR_RMODE_APP"},
    {0x8007048F, "ERROR_DEVICE_NOT_CONNECTED"},
    {0x800704C7, "ERROR_CANCELLED"},
    {0x800704DF, "ERROR_ALREADY_INITIALIZED"},
    {0x80070578, "ERROR_INVALID_WINDOW_HANDLE"},
    {0x80070582, "ERROR_CLASS_ALREADY_EXISTS"},
    {0x800705B4, "ERROR_TIMEOUT"},
    {0x80070651, "ERROR_DEVICE_REMOVED"},
    {0x800706F9, "ERROR_UNRECOGNIZED_MEDIA"},
    {0x80070714, "ERROR_RESOURCE_DATA_NOT_FOUND"},
    {0x80070715, "ERROR_RESOURCE_TYPE_NOT_FOUND"},
    {0x80070716, "ERROR_RESOURCE_NAME_NOT_FOUND"},
    {0x80070718, "ERROR_NOT_ENOUGH_QUOTA"},
    {0x80070964, "ERROR_DEVICE_IN_USE"},
    {0x800710D2, "ERROR_EMPTY"},
    {0x800710DF, "ERROR_DEVICE_NOT_AVAILABLE"},
    // Input device codes.
    {0x00000002, "DI_POLLEDDEVICE"},
    {0x00000003, "DI_DOWNLOADSKIPPED"},
    {0x00000004, "DI_EFFECTRESTARTED"},
    {0x00000008, "DI_TRUNCATED"},
    {0x0000000B, "DI_SETTINGSNOTSAVED"},
    {0x0000000C, "DI_TRUNCATEDANDRESTARTED"},
    {0x00000013, "DI_WRITEPROTECT"},
    {0x80040200, "DIERR_INSUFFICIENTPRIVS"},
    {0x80040201, "DIERR_DEVICEFULL"},
    {0x80040202, "DIERR_MOREDATA"},
    {0x80040203, "DIERR_NOTDOWNLOADED"},
    {0x80040204, "DIERR_HASEFFECTS"},
    {0x80040205, "DIERR_NOTEXCLUSIVEACQUIRED"},
    {0x80040206, "DIERR_INCOMPLETEEFFECT"},
    {0x80040207, "DIERR_NOTBUFFERED"},
    {0x80040208, "DIERR_EFFECTPLAYING"},
    {0x80040209, "DIERR_UNPLUGGED"},
    {0x8004020A, "DIERR_REPORTFULL"},
    {0x8004020B, "DIERR_MAPFILEFAIL"},
};

void WriteToStandardError(const char* piece) { std::fputs(piece, stderr); }

// A failure that repeats every frame (a lost sound device while a key is held) would otherwise write
// dozens of identical lines a second: a line equal to the last is counted instead, and the count is
// written once a different line comes, a second after the count began, when the sink changes, or at
// the process's end.
struct TraceState {
  std::mutex lock;
  TraceSink sink = WriteToStandardError;
  char lastLine[3000 + 1025 + 260] = "";  // the last line written, its three pieces joined
  uint32_t repeats = 0;                    // times it came again since then, not yet written
  uint32_t countSince = 0;                 // tick count when the count began
  bool flushAtExit = false;                // the end-of-process flush is registered
};

TraceState trace;

void WriteRepeats() {
  if (trace.repeats == 0) return;
  char text[64];
  if (trace.repeats == 1) {
    std::snprintf(text, sizeof text, "last line repeated once");
  } else {
    std::snprintf(text, sizeof text, "last line repeated %u times", static_cast<unsigned>(trace.repeats));
  }
  trace.sink(text);
  trace.sink("\n");
  trace.repeats = 0;
}

void WriteRepeatsAtExit() {
  std::lock_guard<std::mutex> held(trace.lock);
  WriteRepeats();
}

}  // namespace

const char* ErrorCodeName(HRESULT code) {
  for (const CodeName& entry : codeNames) {
    if (entry.code == static_cast<uint32_t>(code)) return entry.name;
  }
  return "Unknown";
}

HRESULT TraceError(const char* file, uint32_t line, HRESULT code, const char* message) {
  // snprintf cuts a text at each bound; nothing is ever written past one.
  char filePiece[3000] = "";
  if (file != nullptr) {
    char lineText[128];
    std::snprintf(lineText, sizeof lineText, "%u", static_cast<unsigned>(line));
    std::snprintf(filePiece, sizeof filePiece, "%s(%s): ", file, lineText);
  }
  char messagePiece[1025] = "";
  if (message != nullptr) {
    // A long message is measured only far enough to know it is too long to write.
    size_t length = strnlen(message, 1024);
    if (length >= 1 && length <= 1023) std::snprintf(messagePiece, sizeof messagePiece, "%s ", message);
  }
  char nameText[256];
  std::snprintf(nameText, sizeof nameText, "%s (0x%08x)", ErrorCodeName(code), static_cast<unsigned>(code));
  char codePiece[3 + sizeof nameText];
  std::snprintf(codePiece, sizeof codePiece, "hr=%s", nameText);
  char whole[sizeof trace.lastLine];
  std::snprintf(whole, sizeof whole, "%s%s%s", filePiece, messagePiece, codePiece);

  std::lock_guard<std::mutex> held(trace.lock);
  if (std::strcmp(whole, trace.lastLine) == 0) {
    if (!trace.flushAtExit) trace.flushAtExit = std::atexit(WriteRepeatsAtExit) == 0;
    const uint32_t now = GetTickCount();
    if (trace.repeats++ == 0) {
      trace.countSince = now;
    } else if (now - trace.countSince >= 1000) {
      WriteRepeats();
    }
    return code;
  }
  WriteRepeats();
  std::memcpy(trace.lastLine, whole, sizeof whole);
  if (file != nullptr) trace.sink(filePiece);
  if (messagePiece[0] != '\0') trace.sink(messagePiece);
  trace.sink(codePiece);
  trace.sink("\n");
  return code;
}

void SetTraceSink(TraceSink sink) {
  std::lock_guard<std::mutex> held(trace.lock);
  WriteRepeats();
  trace.lastLine[0] = '\0';
  trace.sink = sink != nullptr ? sink : WriteToStandardError;
}
