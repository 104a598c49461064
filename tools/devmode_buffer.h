// A DEVMODEW held as bytes: the public fields followed by the driver's private
// part, as the library and the driver see it. Kept in a buffer at least as
// large as a whole DEVMODEW structure plus the private part, so that a driver
// that reads every public field never reads past it.
#pragma once

#include "text.h"

#include <string>
#include <vector>

namespace convertapi_cli {

class DevmodeBuffer {
public:
    // Takes a DEVMODEW from `bytes` (a file's content): dmSize + dmDriverExtra
    // bytes of it. Returns 1, or 0 with a message when the bytes are too short
    // for the header or for the sizes that the header gives.
    int Assign(const BYTE *bytes, size_t count, std::string *error);

    DEVMODEW *Devmode() { return reinterpret_cast<DEVMODEW *>(bytes_.data()); }
    BYTE *Bytes() { return bytes_.data(); }
    const BYTE *Bytes() const { return bytes_.data(); }
    // dmSize + dmDriverExtra as the structure says now, within the buffer.
    DWORD Size() const;
    bool Empty() const { return bytes_.empty(); }

private:
    std::vector<BYTE> bytes_;
};

// Reads a DEVMODEW file (the bytes of the structure, nothing else).
int LoadDevmodeFile(const WString &path, DevmodeBuffer *devmode, std::string *error);
// Writes Size() bytes.
int SaveDevmodeFile(const WString &path, const DevmodeBuffer &devmode, std::string *error);
// The printer driver's default DEVMODEW: DocumentPropertiesW asked for the
// size and then for a DM_OUT_BUFFER without input.
int PrinterDefaultDevmode(const WString &printer, DevmodeBuffer *devmode, std::string *error);

// Offset of dmFields: the header up to dmDriverExtra must be there.
constexpr size_t kDevmodeHeaderBytes = 72;

}  // namespace convertapi_cli
