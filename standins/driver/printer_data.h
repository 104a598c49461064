// The printer's data as the driver uses it: the export's ticket location,
// the request's printer data for the record, and the device settings.
#pragma once

#include "driver_platform.h"

namespace standin_driver {

// A printer handle: the spooler's own when the call brought one, else one
// opened here by name and closed again.
class Printer {
public:
    Printer() = default;
    ~Printer();
    Printer(const Printer &) = delete;
    Printer &operator=(const Printer &) = delete;

    int Use(HANDLE given, const WCHAR *name);
    HANDLE Get() const { return handle_; }

    // Reads a value into `data` (`capacity` bytes). Returns 1 with the type
    // and byte count; 0 when it is missing, larger than `capacity` or the
    // call fails.
    int Read(const WCHAR *name, DWORD *type, BYTE *data, DWORD capacity, DWORD *size) const;
    int Write(const WCHAR *name, DWORD type, const BYTE *data, DWORD size) const;

private:
    HANDLE handle_ = nullptr;
    bool owned_ = false;
};

// "ExportTicketLocation": ANSI bytes without a terminating zero, turned into
// UTF-16 with the system code page. 0 when missing, empty or too long.
int ReadExportLocation(const Printer &printer, WCHAR *path, DWORD capacity);

}  // namespace standin_driver
