// Name/value pairs kept in a fixed area of UTF-16 characters: the private
// settings of the driver's DEVMODEW and the printer's device settings. The
// layout is that of standin_devmode.h: name, zero, value, zero, ..., and an
// empty name at the end. Names are unique ignoring the case of A to Z, as in
// the registry that the pairs come from.
#pragma once

#include "driver_platform.h"

namespace standin_driver {

class PairList {
public:
    // Works on `area`, `capacity` characters, which it does not own. An area
    // that is not a well-formed list (no end within the capacity) is emptied;
    // Attach returns 0 in that case.
    int Attach(WCHAR *area, DWORD capacity);
    // Starts an empty list in `area`.
    void Reset(WCHAR *area, DWORD capacity);

    // Sets `name` to `value`, replacing a pair of the same name. Returns 0 for
    // an empty name or a pair that does not fit; the old pair of that name is
    // gone then too, since the caller's newer value superseded it.
    int Set(const WCHAR *name, const WCHAR *value);
    // Removes the pair named `name` (ignoring case); 1 if there was one.
    int Remove(const WCHAR *name);
    // The value of `name` (ignoring case), or null.
    const WCHAR *Find(const WCHAR *name) const;

    // Walks the pairs: `*pos` starts at 0.
    int Next(DWORD *pos, const WCHAR **name, const WCHAR **value) const;
    DWORD Count() const;
    // Characters in use, the final empty name included.
    DWORD UsedChars() const { return used_; }

private:
    // Start of the pair named `name`, or -1.
    long FindPair(const WCHAR *name) const;

    WCHAR *area_ = nullptr;
    DWORD capacity_ = 0;
    DWORD used_ = 0;
};

}  // namespace standin_driver
