// The features that the driver keeps in public DEVMODEW fields, and their
// value texts. A text is taken into a field exactly when writing the field
// back gives the same text, so a ticket survives ticket -> DEVMODEW -> ticket;
// every other text stays a private setting.
#pragma once

#include "driver_platform.h"
#include "wide_text.h"

namespace standin_driver {

struct NamedValue {
    const WCHAR *text;
    SHORT value;
};

struct PublicFeature {
    const WCHAR *name;        // the feature name, as a ticket spells it
    DWORD fieldBit;           // DM_ORIENTATION, ...
    unsigned offset;          // byte offset of the SHORT field in DEVMODEW
    const NamedValue *names;  // texts for particular values
    unsigned nameCount;
    SHORT minNumber;          // other values written as decimal numbers;
    SHORT maxNumber;          // none when minNumber > maxNumber
};

unsigned PublicFeatureCount();
const PublicFeature &PublicFeatureAt(unsigned index);
// The feature of that exact name, or null.
const PublicFeature *FindPublicFeature(const WCHAR *name);
// The feature whose name equals `name` ignoring case, or null.
const PublicFeature *FindPublicFeatureNoCase(const WCHAR *name);

// 1 and the value when `text` is a value text of `feature` (see above).
int ParsePublicValue(const PublicFeature &feature, const WCHAR *text, SHORT *value);
// Writes the value text: its name, else the decimal number.
int FormatPublicValue(const PublicFeature &feature, SHORT value, TextBuffer *out);

// Whether the field lies within the first `publicSize` bytes of a DEVMODEW.
bool FieldFits(const PublicFeature &feature, unsigned publicSize);
SHORT GetField(const DEVMODEW &devmode, const PublicFeature &feature);
void SetField(DEVMODEW *devmode, const PublicFeature &feature, SHORT value);

}  // namespace standin_driver
