#include "public_features.h"

#include <cstddef>
#include <cstring>

namespace standin_driver {
namespace {

const NamedValue kOrientation[] = {{TEXT("Portrait"), DMORIENT_PORTRAIT}, {TEXT("Landscape"), DMORIENT_LANDSCAPE}};
const NamedValue kPaperSize[] = {{TEXT("Letter"), DMPAPER_LETTER}, {TEXT("Legal"), DMPAPER_LEGAL},
                                 {TEXT("A3"), DMPAPER_A3},         {TEXT("A4"), DMPAPER_A4},
                                 {TEXT("A5"), DMPAPER_A5}};
const NamedValue kPrintQuality[] = {{TEXT("Draft"), DMRES_DRAFT},
                                    {TEXT("Low"), DMRES_LOW},
                                    {TEXT("Medium"), DMRES_MEDIUM},
                                    {TEXT("High"), DMRES_HIGH}};
const NamedValue kColor[] = {{TEXT("Monochrome"), DMCOLOR_MONOCHROME}, {TEXT("Color"), DMCOLOR_COLOR}};
const NamedValue kDuplex[] = {
    {TEXT("None"), DMDUP_SIMPLEX}, {TEXT("LongEdge"), DMDUP_VERTICAL}, {TEXT("ShortEdge"), DMDUP_HORIZONTAL}};
const NamedValue kCollate[] = {{TEXT("False"), DMCOLLATE_FALSE}, {TEXT("True"), DMCOLLATE_TRUE}};

#define NAMES(table) table, sizeof(table) / sizeof(table[0])

const PublicFeature kFeatures[] = {
    {TEXT("Orientation"), DM_ORIENTATION, offsetof(DEVMODEW, dmOrientation), NAMES(kOrientation), 1, 0},
    {TEXT("PaperSize"), DM_PAPERSIZE, offsetof(DEVMODEW, dmPaperSize), NAMES(kPaperSize), 1, 32767},
    {TEXT("Copies"), DM_COPIES, offsetof(DEVMODEW, dmCopies), nullptr, 0, 1, 32767},
    {TEXT("PrintQuality"), DM_PRINTQUALITY, offsetof(DEVMODEW, dmPrintQuality), NAMES(kPrintQuality), 1, 32767},
    {TEXT("Color"), DM_COLOR, offsetof(DEVMODEW, dmColor), NAMES(kColor), 1, 0},
    {TEXT("Duplex"), DM_DUPLEX, offsetof(DEVMODEW, dmDuplex), NAMES(kDuplex), 1, 0},
    {TEXT("Collate"), DM_COLLATE, offsetof(DEVMODEW, dmCollate), NAMES(kCollate), 1, 0},
};

#undef NAMES

}  // namespace

unsigned PublicFeatureCount() { return sizeof(kFeatures) / sizeof(kFeatures[0]); }

const PublicFeature &PublicFeatureAt(unsigned index) { return kFeatures[index]; }

const PublicFeature *FindPublicFeature(const WCHAR *name)
{
    for (const PublicFeature &feature : kFeatures)
        if (TextEqual(feature.name, name)) return &feature;
    return nullptr;
}

const PublicFeature *FindPublicFeatureNoCase(const WCHAR *name)
{
    for (const PublicFeature &feature : kFeatures)
        if (TextEqualNoCase(feature.name, name)) return &feature;
    return nullptr;
}

int FormatPublicValue(const PublicFeature &feature, SHORT value, TextBuffer *out)
{
    for (unsigned i = 0; i < feature.nameCount; ++i)
        if (feature.names[i].value == value) return out->Append(feature.names[i].text);
    return out->AppendSigned(value);
}

int ParsePublicValue(const PublicFeature &feature, const WCHAR *text, SHORT *value)
{
    for (unsigned i = 0; i < feature.nameCount; ++i) {
        if (TextEqual(feature.names[i].text, text)) {
            *value = feature.names[i].value;
            return 1;
        }
    }
    LONG number = 0;
    if (!ParseCanonicalDecimal(text, &number)) return 0;
    if (number < feature.minNumber || number > feature.maxNumber) return 0;
    // A number that has a name is written back as the name: not a value text.
    for (unsigned i = 0; i < feature.nameCount; ++i)
        if (feature.names[i].value == number) return 0;
    *value = static_cast<SHORT>(number);
    return 1;
}

bool FieldFits(const PublicFeature &feature, unsigned publicSize) { return feature.offset + sizeof(SHORT) <= publicSize; }

SHORT GetField(const DEVMODEW &devmode, const PublicFeature &feature)
{
    SHORT value = 0;
    std::memcpy(&value, reinterpret_cast<const BYTE *>(&devmode) + feature.offset, sizeof(value));
    return value;
}

void SetField(DEVMODEW *devmode, const PublicFeature &feature, SHORT value)
{
    std::memcpy(reinterpret_cast<BYTE *>(devmode) + feature.offset, &value, sizeof(value));
}

}  // namespace standin_driver
