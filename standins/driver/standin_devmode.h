// The stand-in driver's DEVMODEW: the public 220 bytes, then its private part.
// dmSize is 220 and dmDriverExtra is sizeof(StandinDevmodePrivate). Tests and
// the command-line tool read the private part through this header.
#pragma once

#include "convertapi/common/platform.h"

#include <cstddef>

#define STANDIN_DEVMODE_MAGIC 0x4D444453u  // bytes 'S' 'D' 'D' 'M'
#define STANDIN_DEVMODE_VERSION 1
#define STANDIN_DEVMODE_DRIVER_VERSION 0x0100
#define STANDIN_DEVMODE_SETTINGS_CHARS 2048

// Private part, at offset 220. All fields little-endian.
struct StandinDevmodePrivate {
    // One free tag block: signature, lead GUID, zero slot, trail GUID. The
    // library stamps the slot for the length of a conversion.
    BYTE tagBlock[64];
    DWORD magic;            // STANDIN_DEVMODE_MAGIC
    WORD version;           // STANDIN_DEVMODE_VERSION
    WORD reserved;          // 0
    DWORD settingsChars;    // characters of `settings` in use, the final empty name included
    DWORD droppedFeatures;  // features the last import could not keep
    // The features without a public field: pairs of zero-terminated UTF-16
    // texts, name then value, ended by an empty name (a single zero). Names
    // are unique ignoring the case of A to Z; a value may be empty.
    WCHAR settings[STANDIN_DEVMODE_SETTINGS_CHARS];
};

struct StandinDevmode {
    DEVMODEW pub;
    StandinDevmodePrivate priv;
};

static_assert(sizeof(StandinDevmodePrivate) == 64 + 16 + 2 * STANDIN_DEVMODE_SETTINGS_CHARS,
              "the private part has no padding");
static_assert(offsetof(StandinDevmode, priv) == 220, "the private part follows the public fields");
static_assert(sizeof(StandinDevmode) == 220 + sizeof(StandinDevmodePrivate), "no tail padding");

// Walks the settings pairs. `*pos` starts at 0; each call that returns 1
// hands out the next pair and moves `*pos` past it. Returns 0 at the end or
// where the area is malformed (a text running past `chars`).
inline int StandinDevmodeNextSetting(const WCHAR *settings, DWORD chars, DWORD *pos, const WCHAR **name,
                                     const WCHAR **value)
{
    DWORD at = *pos;
    if (at >= chars || settings[at] == 0) return 0;
    DWORD nameStart = at;
    while (at < chars && settings[at] != 0) ++at;
    if (at >= chars) return 0;
    DWORD valueStart = ++at;
    while (at < chars && settings[at] != 0) ++at;
    if (at >= chars) return 0;
    *name = settings + nameStart;
    *value = settings + valueStart;
    *pos = at + 1;
    return 1;
}
