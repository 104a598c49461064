// The driver's working copy of a DEVMODEW: built from its defaults and the
// caller's input, changed by an import, read by an export, and written back
// without ever going past the caller's buffer.
#pragma once

#include "driver_platform.h"
#include "pair_list.h"
#include "standin_devmode.h"

namespace standin_driver {

// Smallest public part that makes sense: everything up to dmFields.
constexpr unsigned kMinPublicSize = 76;
constexpr DWORD kFullDevmodeSize = sizeof(StandinDevmode);

class DevmodeImage {
public:
    // The driver's default DEVMODEW for `printerName` (may be null).
    void SetDefault(const WCHAR *printerName);

    // Whether `devmode` has a public size the driver can read: kMinPublicSize
    // to 220 bytes.
    static bool InputSizeValid(const DEVMODEW *devmode);

    // Takes the caller's settings over the defaults: the public part it has,
    // and the private settings if it carries the driver's own private part. A
    // tag block anywhere in it hands its slot on to the driver's block.
    // The caller checks InputSizeValid first.
    void Load(const DEVMODEW *devmode);

    // Restricts the image to the public part of the caller's own buffer: used
    // when the result goes back into a buffer too small for the driver's
    // layout. Private settings and fields beyond that size cannot be kept.
    void RestrictToPublic(unsigned publicSize);

    // Applies one feature of an import. Returns 1 when it was kept, 0 when it
    // had to be dropped (no room, or no place for it in a restricted image).
    int ApplyFeature(const WCHAR *name, const WCHAR *value);
    void SetDroppedFeatures(DWORD count);

    // Writes the image into `out`, a buffer of `capacity` bytes: the whole
    // driver layout when it fits; for a restricted image, only the public
    // fields within the restricted size. Returns 0 when neither applies.
    int Store(DEVMODEW *out, DWORD capacity) const;

    const DEVMODEW &Public() const { return data_.pub; }
    const PairList &Settings() const { return settings_; }
    bool Restricted() const { return restrictedSize_ != 0; }

private:
    StandinDevmode data_;
    PairList settings_;
    unsigned restrictedSize_ = 0;
};

}  // namespace standin_driver
