// The interface version a printer may override through its printer data
// "QXConvertAPIVersionOverride", read as decimal wide text.
#pragma once

#include "convertapi/common/platform.h"

namespace convertapi {

// Base-10 reading of `byteCount` bytes of little-endian UTF-16 text: leading
// white space, one optional sign, then decimal digits (ASCII and the other
// Unicode decimal digit blocks) in wrapping 32-bit arithmetic. Stops at the
// first non-digit or at the end of the bytes, whichever comes first; an odd
// last byte is no character. No digits gives 0.
DWORD ParseVersionOverride(const BYTE *data, size_t byteCount);

// True for the characters the Windows wide-character space test accepts.
bool IsOverrideSpace(WCHAR c);
// The value of a decimal digit character, or -1 for any other character.
int OverrideDigitValue(WCHAR c);

// GetConvertAPIVersionEx for a non-null `versionOut`: the version of
// `printerName`'s override, 4 when the printer is null, cannot be opened with
// full access or has no override. Returns the export's result code; on
// 18, 19 and 20 `versionOut` is not written.
DWORD QueryInterfaceVersion(const WCHAR *printerName, DWORD *versionOut);

}  // namespace convertapi
