#include "devmode_view.h"

#include "convertapi/api/devmode_tagger.h"
#include "convertapi/common/constants.h"
#include "standins/driver/standin_devmode.h"
#include "text.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace convertapi_cli {
namespace {

// --- What the values mean --------------------------------------------------

struct NamedValue {
    long value;
    const char *words;
    const char *constant;
};

const NamedValue kOrientation[] = {{1, "portrait", "DMORIENT_PORTRAIT"}, {2, "landscape", "DMORIENT_LANDSCAPE"}};
const NamedValue kPaperSize[] = {
    {1, "Letter", "DMPAPER_LETTER"}, {3, "Tabloid", "DMPAPER_TABLOID"},     {4, "Ledger", "DMPAPER_LEDGER"},
    {5, "Legal", "DMPAPER_LEGAL"},   {7, "Executive", "DMPAPER_EXECUTIVE"}, {8, "A3", "DMPAPER_A3"},
    {9, "A4", "DMPAPER_A4"},         {11, "A5", "DMPAPER_A5"},              {13, "B5 (JIS)", "DMPAPER_B5"}};
const NamedValue kDefaultSource[] = {
    {1, "upper tray", "DMBIN_UPPER"},   {2, "lower tray", "DMBIN_LOWER"},     {3, "middle tray", "DMBIN_MIDDLE"},
    {4, "manual feed", "DMBIN_MANUAL"}, {5, "envelope", "DMBIN_ENVELOPE"},    {7, "automatic", "DMBIN_AUTO"},
    {8, "tractor", "DMBIN_TRACTOR"},    {14, "cassette", "DMBIN_CASSETTE"}, {15, "form source", "DMBIN_FORMSOURCE"}};
const NamedValue kPrintQuality[] = {{-1, "draft", "DMRES_DRAFT"},
                                    {-2, "low", "DMRES_LOW"},
                                    {-3, "medium", "DMRES_MEDIUM"},
                                    {-4, "high", "DMRES_HIGH"}};
const NamedValue kColor[] = {{1, "monochrome", "DMCOLOR_MONOCHROME"}, {2, "color", "DMCOLOR_COLOR"}};
const NamedValue kDuplex[] = {{1, "one-sided", "DMDUP_SIMPLEX"},
                              {2, "two-sided, long edge", "DMDUP_VERTICAL"},
                              {3, "two-sided, short edge", "DMDUP_HORIZONTAL"}};
const NamedValue kTTOption[] = {{1, "as bitmaps", "DMTT_BITMAP"},
                                {2, "downloaded", "DMTT_DOWNLOAD"},
                                {3, "substituted", "DMTT_SUBDEV"},
                                {4, "downloaded as outlines", "DMTT_DOWNLOAD_OUTLINE"}};
const NamedValue kCollate[] = {{0, "not collated", "DMCOLLATE_FALSE"}, {1, "collated", "DMCOLLATE_TRUE"}};
const NamedValue kNup[] = {{1, "by the spooler", "DMNUP_SYSTEM"}, {2, "one page per sheet", "DMNUP_ONEUP"}};
const NamedValue kIcmMethod[] = {{1, "none", "DMICMMETHOD_NONE"},
                                 {2, "by the system", "DMICMMETHOD_SYSTEM"},
                                 {3, "by the driver", "DMICMMETHOD_DRIVER"},
                                 {4, "by the device", "DMICMMETHOD_DEVICE"}};
const NamedValue kIcmIntent[] = {{1, "saturation", "DMICM_SATURATE"},
                                 {2, "contrast", "DMICM_CONTRAST"},
                                 {3, "colorimetric", "DMICM_COLORIMETRIC"},
                                 {4, "absolute colorimetric", "DMICM_ABS_COLORIMETRIC"}};
const NamedValue kMediaType[] = {
    {1, "standard", "DMMEDIA_STANDARD"}, {2, "transparency", "DMMEDIA_TRANSPARENCY"}, {3, "glossy", "DMMEDIA_GLOSSY"}};
const NamedValue kDitherType[] = {{1, "none", "DMDITHER_NONE"},
                                  {2, "coarse", "DMDITHER_COARSE"},
                                  {3, "fine", "DMDITHER_FINE"},
                                  {4, "line art", "DMDITHER_LINEART"},
                                  {5, "error diffusion", "DMDITHER_ERRORDIFFUSION"},
                                  {10, "grayscale", "DMDITHER_GRAYSCALE"}};

std::string Named(const NamedValue *table, size_t count, long value)
{
    for (size_t i = 0; i < count; ++i)
        if (table[i].value == value) return std::string(table[i].words) + " (" + table[i].constant + ")";
    return std::string();
}

#define NAMED_MEANING(function, table) \
    std::string function(long value) { return Named(table, sizeof(table) / sizeof(table[0]), value); }

NAMED_MEANING(OrientationMeaning, kOrientation)
NAMED_MEANING(PaperSizeMeaning, kPaperSize)
NAMED_MEANING(DefaultSourceMeaning, kDefaultSource)
NAMED_MEANING(ColorMeaning, kColor)
NAMED_MEANING(DuplexMeaning, kDuplex)
NAMED_MEANING(TTOptionMeaning, kTTOption)
NAMED_MEANING(CollateMeaning, kCollate)
NAMED_MEANING(NupMeaning, kNup)
NAMED_MEANING(IcmMethodMeaning, kIcmMethod)
NAMED_MEANING(IcmIntentMeaning, kIcmIntent)
NAMED_MEANING(MediaTypeMeaning, kMediaType)
NAMED_MEANING(DitherTypeMeaning, kDitherType)

#undef NAMED_MEANING

std::string TenthsMeaning(long value)
{
    if (value == 0) return std::string();
    return std::to_string(value / 10) + "." + std::to_string((value < 0 ? -value : value) % 10) + " mm";
}

std::string ResolutionMeaning(long value) { return value > 0 ? std::to_string(value) + " dpi" : std::string(); }

std::string PrintQualityMeaning(long value)
{
    return value > 0 ? ResolutionMeaning(value) : Named(kPrintQuality, sizeof(kPrintQuality) / sizeof(kPrintQuality[0]), value);
}

std::string ScaleMeaning(long value) { return value > 0 ? std::to_string(value) + " %" : std::string(); }

std::string CopiesMeaning(long value)
{
    return value > 0 ? std::to_string(value) + (value == 1 ? " copy" : " copies") : std::string();
}

// --- The fields ------------------------------------------------------------

enum class FieldKind { Short, Word, Dword };

struct FieldLayout {
    const char *name;
    size_t offset;
    FieldKind kind;
    DWORD bit;
    bool display;
    std::string (*meaning)(long value);  // null: the number says it all
};

#define FIELD(member, kind, bit, display, meaning) \
    {#member, offsetof(DEVMODEW, member), FieldKind::kind, bit, display, meaning}

// In structure order. The bits are Windows' DM_* values.
const FieldLayout kFields[] = {
    FIELD(dmOrientation, Short, 0x00000001, false, OrientationMeaning),
    FIELD(dmPaperSize, Short, 0x00000002, false, PaperSizeMeaning),
    FIELD(dmPaperLength, Short, 0x00000004, false, TenthsMeaning),
    FIELD(dmPaperWidth, Short, 0x00000008, false, TenthsMeaning),
    FIELD(dmScale, Short, 0x00000010, false, ScaleMeaning),
    FIELD(dmCopies, Short, 0x00000100, false, CopiesMeaning),
    FIELD(dmDefaultSource, Short, 0x00000200, false, DefaultSourceMeaning),
    FIELD(dmPrintQuality, Short, 0x00000400, false, PrintQualityMeaning),
    FIELD(dmColor, Short, 0x00000800, false, ColorMeaning),
    FIELD(dmDuplex, Short, 0x00001000, false, DuplexMeaning),
    FIELD(dmYResolution, Short, 0x00002000, false, ResolutionMeaning),
    FIELD(dmTTOption, Short, 0x00004000, false, TTOptionMeaning),
    FIELD(dmCollate, Short, 0x00008000, false, CollateMeaning),
    FIELD(dmLogPixels, Word, 0x00020000, true, nullptr),
    FIELD(dmBitsPerPel, Dword, 0x00040000, true, nullptr),
    FIELD(dmPelsWidth, Dword, 0x00080000, true, nullptr),
    FIELD(dmPelsHeight, Dword, 0x00100000, true, nullptr),
    FIELD(dmNup, Dword, 0x00000040, false, NupMeaning),
    FIELD(dmDisplayFrequency, Dword, 0x00400000, true, nullptr),
    FIELD(dmICMMethod, Dword, 0x00800000, false, IcmMethodMeaning),
    FIELD(dmICMIntent, Dword, 0x01000000, false, IcmIntentMeaning),
    FIELD(dmMediaType, Dword, 0x02000000, false, MediaTypeMeaning),
    FIELD(dmDitherType, Dword, 0x04000000, false, DitherTypeMeaning),
    FIELD(dmReserved1, Dword, 0, true, nullptr),
    FIELD(dmReserved2, Dword, 0, true, nullptr),
    FIELD(dmPanningWidth, Dword, 0x08000000, true, nullptr),
    FIELD(dmPanningHeight, Dword, 0x10000000, true, nullptr),
};

#undef FIELD

struct BitName {
    DWORD bit;
    const char *name;
};

const BitName kFieldBits[] = {
    {0x00000001, "DM_ORIENTATION"},     {0x00000002, "DM_PAPERSIZE"},        {0x00000004, "DM_PAPERLENGTH"},
    {0x00000008, "DM_PAPERWIDTH"},      {0x00000010, "DM_SCALE"},            {0x00000020, "DM_POSITION"},
    {0x00000040, "DM_NUP"},             {0x00000080, "DM_DISPLAYORIENTATION"}, {0x00000100, "DM_COPIES"},
    {0x00000200, "DM_DEFAULTSOURCE"},   {0x00000400, "DM_PRINTQUALITY"},     {0x00000800, "DM_COLOR"},
    {0x00001000, "DM_DUPLEX"},          {0x00002000, "DM_YRESOLUTION"},      {0x00004000, "DM_TTOPTION"},
    {0x00008000, "DM_COLLATE"},         {0x00010000, "DM_FORMNAME"},         {0x00020000, "DM_LOGPIXELS"},
    {0x00040000, "DM_BITSPERPEL"},      {0x00080000, "DM_PELSWIDTH"},        {0x00100000, "DM_PELSHEIGHT"},
    {0x00200000, "DM_DISPLAYFLAGS"},    {0x00400000, "DM_DISPLAYFREQUENCY"}, {0x00800000, "DM_ICMMETHOD"},
    {0x01000000, "DM_ICMINTENT"},       {0x02000000, "DM_MEDIATYPE"},        {0x04000000, "DM_DITHERTYPE"},
    {0x08000000, "DM_PANNINGWIDTH"},    {0x10000000, "DM_PANNINGHEIGHT"},    {0x20000000, "DM_DISPLAYFIXEDOUTPUT"},
};

constexpr DWORD kFormNameBit = 0x00010000;

size_t FieldBytes(FieldKind kind) { return kind == FieldKind::Dword ? 4 : 2; }

long ReadField(const BYTE *bytes, const FieldLayout &field)
{
    if (field.kind == FieldKind::Dword) {
        DWORD value = 0;
        std::memcpy(&value, bytes + field.offset, sizeof(value));
        return static_cast<long>(value);
    }
    WORD value = 0;
    std::memcpy(&value, bytes + field.offset, sizeof(value));
    return field.kind == FieldKind::Short ? static_cast<long>(static_cast<SHORT>(value)) : static_cast<long>(value);
}

// A fixed-size WCHAR field, up to its first zero.
std::string FixedText(const BYTE *bytes, size_t offset, size_t chars)
{
    WString text;
    for (size_t i = 0; i < chars; ++i) {
        WCHAR c = 0;
        std::memcpy(&c, bytes + offset + i * sizeof(WCHAR), sizeof(WCHAR));
        if (c == 0) break;
        text.push_back(c);
    }
    return Narrow(text);
}

// Every tag block, searched the way the library searches: any slot content.
std::vector<DevmodeTagView> FindTags(const BYTE *bytes, DWORD size)
{
    std::vector<DevmodeTagView> tags;
    convertapi::DevmodeTagger tagger;
    BYTE *base = const_cast<BYTE *>(bytes);
    DWORD from = 0;
    while (from < size) {
        BYTE *slot = tagger.FindDevmodeTag(base + from, size - from, convertapi::kDevmodeTagAnyGuid);
        if (slot == nullptr) break;
        DevmodeTagView tag = {};
        tag.offset = static_cast<DWORD>(slot - base) - 32;
        std::memcpy(&tag.slot, slot, sizeof(GUID));
        static const BYTE zero[16] = {};
        tag.free = std::memcmp(slot, zero, sizeof(zero)) == 0;
        tags.push_back(tag);
        from = tag.offset + 1;
    }
    return tags;
}

DevmodePrivateView DescribePrivate(const BYTE *bytes, WORD dmSize, WORD extra)
{
    DevmodePrivateView view;
    view.bytes = extra;
    if (dmSize != sizeof(DEVMODEW) || extra != sizeof(StandinDevmodePrivate)) return view;
    StandinDevmodePrivate priv;
    std::memcpy(&priv, bytes + dmSize, sizeof(priv));
    if (priv.magic != STANDIN_DEVMODE_MAGIC) return view;
    view.standin = true;
    view.version = priv.version;
    view.dropped = priv.droppedFeatures;
    if (priv.version != STANDIN_DEVMODE_VERSION || priv.settingsChars > STANDIN_DEVMODE_SETTINGS_CHARS) return view;
    DWORD pos = 0;
    const WCHAR *name = nullptr;
    const WCHAR *value = nullptr;
    while (StandinDevmodeNextSetting(priv.settings, priv.settingsChars, &pos, &name, &value)) {
        size_t nameLength = 0, valueLength = 0;
        while (name[nameLength] != 0) ++nameLength;
        while (value[valueLength] != 0) ++valueLength;
        view.settings.push_back({Narrow(name, nameLength), Narrow(value, valueLength)});
    }
    // Valid when the walk ended at the closing empty name.
    view.settingsValid = pos < priv.settingsChars && priv.settings[pos] == 0;
    return view;
}

std::string Hex(DWORD value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

std::string Padded(const std::string &text, size_t width)
{
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

}  // namespace

DevmodeView DescribeDevmode(const BYTE *bytes, DWORD size)
{
    DevmodeView view;
    view.size = size;
    DEVMODEW header;
    std::memset(&header, 0, sizeof(header));
    std::memcpy(&header, bytes, size < sizeof(header) ? size : sizeof(header));
    view.deviceName = FixedText(bytes, offsetof(DEVMODEW, dmDeviceName), CCHDEVICENAME);
    view.specVersion = header.dmSpecVersion;
    view.driverVersion = header.dmDriverVersion;
    view.dmSize = header.dmSize;
    view.dmDriverExtra = header.dmDriverExtra;
    view.dmFields = header.dmFields;
    for (const BitName &bit : kFieldBits)
        if (view.dmFields & bit.bit) view.fieldNames.push_back(bit.name);
    const size_t publicSize = view.dmSize < size ? view.dmSize : size;
    for (const FieldLayout &field : kFields) {
        if (field.offset + FieldBytes(field.kind) > publicSize) continue;
        const long value = ReadField(bytes, field);
        view.fields.push_back(
            {field.name, value, field.meaning ? field.meaning(value) : std::string(), field.bit, field.display});
    }
    const size_t formOffset = offsetof(DEVMODEW, dmFormName);
    view.hasFormName = formOffset + CCHFORMNAME * sizeof(WCHAR) <= publicSize;
    if (view.hasFormName) view.formName = FixedText(bytes, formOffset, CCHFORMNAME);
    view.tags = FindTags(bytes, size);
    if (static_cast<DWORD>(view.dmSize) + view.dmDriverExtra <= size)
        view.priv = DescribePrivate(bytes, view.dmSize, view.dmDriverExtra);
    return view;
}

void PrintDevmodeText(const DevmodeView &view, std::ostream &out)
{
    out << "DEVMODEW, " << view.size << " bytes (dmSize " << view.dmSize << " + dmDriverExtra " << view.dmDriverExtra
        << ")\n";
    out << "  " << Padded("dmDeviceName", 18) << view.deviceName << "\n";
    out << "  " << Padded("dmSpecVersion", 18) << Hex(view.specVersion, 4) << "\n";
    out << "  " << Padded("dmDriverVersion", 18) << Hex(view.driverVersion, 4) << "\n";
    out << "  " << Padded("dmFields", 18) << Hex(view.dmFields, 8);
    for (const std::string &name : view.fieldNames) out << " " << name;
    out << "\n\nPublic fields (* the field's dmFields bit is set)\n";
    for (const DevmodeFieldView &field : view.fields) {
        if (field.display && field.value == 0 && !(field.bit & view.dmFields)) continue;
        out << ((field.bit & view.dmFields) ? "  * " : "    ") << Padded(field.name, 20)
            << (field.meaning.empty() ? std::to_string(field.value) : Padded(std::to_string(field.value), 6) + field.meaning)
            << "\n";
    }
    if (view.hasFormName)
        out << ((view.dmFields & kFormNameBit) ? "  * " : "    ") << Padded("dmFormName", 20) << "\"" << view.formName
            << "\"\n";

    out << "\nTag block\n";
    if (view.tags.empty())
        out << "  none: the library cannot tag this DEVMODEW (ConvertTicketEx and ConvertDevModeEx answer 12)\n";
    for (const DevmodeTagView &tag : view.tags)
        out << "  at offset " << tag.offset << ": slot "
            << (tag.free ? std::string("free") : GuidText(tag.slot) + " (stamped)") << "\n";

    out << "\nDriver's private part: " << view.priv.bytes << " bytes";
    if (!view.priv.standin) {
        out << (view.priv.bytes ? ", in a layout this tool does not know\n" : "\n");
        return;
    }
    out << ", the stand-in driver's layout, version " << view.priv.version << "\n";
    out << "  " << Padded("droppedFeatures", 18) << view.priv.dropped << "\n";
    if (!view.priv.settingsValid) out << "  the settings area is damaged; what follows is what could be read\n";
    out << "  settings (" << view.priv.settings.size() << ")\n";
    for (const DevmodeSettingView &setting : view.priv.settings)
        out << "    " << setting.name << " = " << setting.value << "\n";
}

void PrintDevmodeJson(const DevmodeView &view, std::ostream &out)
{
    out << "{\n";
    out << "  \"size\": " << view.size << ",\n";
    out << "  \"dmDeviceName\": " << JsonString(view.deviceName) << ",\n";
    out << "  \"dmSpecVersion\": " << view.specVersion << ",\n";
    out << "  \"dmDriverVersion\": " << view.driverVersion << ",\n";
    out << "  \"dmSize\": " << view.dmSize << ",\n";
    out << "  \"dmDriverExtra\": " << view.dmDriverExtra << ",\n";
    out << "  \"dmFields\": {\"value\": " << view.dmFields << ", \"names\": [";
    for (size_t i = 0; i < view.fieldNames.size(); ++i) out << (i ? ", " : "") << JsonString(view.fieldNames[i]);
    out << "]},\n";
    out << "  \"fields\": {";
    for (size_t i = 0; i < view.fields.size(); ++i) {
        const DevmodeFieldView &field = view.fields[i];
        out << (i ? ",\n" : "\n") << "    " << JsonString(field.name) << ": {\"value\": " << field.value
            << ", \"meaning\": " << JsonString(field.meaning);
        if (field.bit) out << ", \"inFields\": " << ((field.bit & view.dmFields) ? "true" : "false");
        out << "}";
    }
    out << "\n  },\n";
    if (view.hasFormName) out << "  \"dmFormName\": " << JsonString(view.formName) << ",\n";
    out << "  \"tagBlocks\": [";
    for (size_t i = 0; i < view.tags.size(); ++i)
        out << (i ? ", " : "") << "{\"offset\": " << view.tags[i].offset
            << ", \"slot\": " << (view.tags[i].free ? std::string("null") : JsonString(GuidText(view.tags[i].slot)))
            << "}";
    out << "],\n";
    out << "  \"private\": {\"bytes\": " << view.priv.bytes << ", \"layout\": "
        << (view.priv.standin ? "\"standin\"" : "\"unknown\"");
    if (view.priv.standin) {
        out << ", \"version\": " << view.priv.version << ", \"droppedFeatures\": " << view.priv.dropped
            << ", \"settingsValid\": " << (view.priv.settingsValid ? "true" : "false") << ", \"settings\": [";
        for (size_t i = 0; i < view.priv.settings.size(); ++i)
            out << (i ? ", " : "") << "{\"name\": " << JsonString(view.priv.settings[i].name)
                << ", \"value\": " << JsonString(view.priv.settings[i].value) << "}";
        out << "]";
    }
    out << "}\n}\n";
}

}  // namespace convertapi_cli
