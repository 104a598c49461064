// The library's tag block inside a DEVMODEW: the driver writes a free one
// into its private part and reads the slot to tell which request a call
// belongs to.
#pragma once

#include "driver_platform.h"

namespace standin_driver {

// The first tag block (signature, lead GUID, any slot, trail GUID) that lies
// wholly within the first `size` bytes of `buffer`; returns its byte offset,
// or -1.
long FindTagBlock(const BYTE *buffer, DWORD size);
// Writes a free block (zero slot) into 64 bytes at `block`.
void WriteFreeTagBlock(BYTE *block);
// Empties the slot of every block that lies wholly within the first `size`
// bytes of `buffer`.
void FreeTagSlots(BYTE *buffer, DWORD size);

}  // namespace standin_driver
