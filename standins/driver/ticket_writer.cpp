#include "ticket_writer.h"

#include "public_features.h"
#include "standins/common/file_io.h"
#include "standins/common/owned_array.h"
#include "standins/common/utf.h"
#include "wide_text.h"

namespace standin_driver {
namespace {

// Writes the document twice: once to count its characters, once into a
// buffer of that size.
class XmlText {
public:
    explicit XmlText(WCHAR *buffer) : buffer_(buffer) {}

    void Raw(const WCHAR *text)
    {
        for (; *text != 0; ++text) Put(*text);
    }
    void Raw(const char *ascii)
    {
        for (; *ascii != 0; ++ascii) Put(static_cast<WCHAR>(*ascii));
    }
    // Attribute text: markup characters and the white space that a parser
    // would otherwise normalise go as references, so every value reads back
    // as it was.
    void Escaped(const WCHAR *text)
    {
        for (; *text != 0; ++text) {
            WCHAR c = *text;
            switch (c) {
            case '&': Raw("&amp;"); break;
            case '<': Raw("&lt;"); break;
            case '>': Raw("&gt;"); break;
            case '"': Raw("&quot;"); break;
            default:
                if (c < 0x20) {
                    Raw("&#");
                    if (c >= 10) Put(static_cast<WCHAR>('0' + c / 10));
                    Put(static_cast<WCHAR>('0' + c % 10));
                    Put(';');
                } else {
                    Put(c);
                }
            }
        }
    }
    void Feature(const WCHAR *name, const WCHAR *value)
    {
        Raw("    <Feature name=\"");
        Escaped(name);
        Raw("\" value=\"");
        Escaped(value);
        Raw("\"/>\n");
    }
    size_t Length() const { return length_; }

private:
    void Put(WCHAR c)
    {
        if (buffer_) buffer_[length_] = c;
        ++length_;
    }

    WCHAR *buffer_;
    size_t length_ = 0;
};

// Whether an earlier pair than the one at `upTo` has the name `name`.
bool NamedEarlier(const PairList &pairs, DWORD upTo, const WCHAR *name)
{
    DWORD pos = 0;
    DWORD start = 0;
    const WCHAR *pairName = nullptr;
    const WCHAR *value = nullptr;
    while (start < upTo && pairs.Next(&pos, &pairName, &value)) {
        if (TextEqualNoCase(pairName, name)) return true;
        start = pos;
    }
    return false;
}

void WritePairs(XmlText *xml, const PairList &pairs)
{
    DWORD pos = 0;
    DWORD start = 0;
    const WCHAR *name = nullptr;
    const WCHAR *value = nullptr;
    while (pairs.Next(&pos, &name, &value)) {
        if (!NamedEarlier(pairs, start, name)) xml->Feature(name, value);
        start = pos;
    }
}

int WriteDocument(XmlText *xml, const DevmodeImage &image, const PairList &physical)
{
    xml->Raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Ticket version=\"1\">\n  <Section name=\"Printing\">\n");
    const DEVMODEW &pub = image.Public();
    for (unsigned i = 0; i < PublicFeatureCount(); ++i) {
        const PublicFeature &feature = PublicFeatureAt(i);
        if (!(pub.dmFields & feature.fieldBit)) continue;
        // A private setting of the same name speaks for the feature.
        if (image.Settings().Find(feature.name)) continue;
        WCHAR value[16];
        TextBuffer text(value, 16);
        if (!FormatPublicValue(feature, GetField(pub, feature), &text)) return 0;
        xml->Feature(feature.name, value);
    }
    WritePairs(xml, image.Settings());
    xml->Raw("  </Section>\n  <Section name=\"Physical\">\n");
    WritePairs(xml, physical);
    xml->Raw("  </Section>\n</Ticket>\n");
    return 1;
}

}  // namespace

int WriteTicket(const WCHAR *path, const DevmodeImage &image, const PairList &physical)
{
    if (!path) return 0;
    XmlText measure(nullptr);
    if (!WriteDocument(&measure, image, physical)) return 0;
    standin::OwnedArray<WCHAR> text;
    if (!text.Allocate(measure.Length())) return 0;
    XmlText xml(text.Data());
    WriteDocument(&xml, image, physical);
    standin::OwnedArray<char> utf8;
    if (!standin::Utf16ToUtf8(text.Data(), xml.Length(), &utf8)) return 0;
    return standin::WriteWholeFile(path, utf8.Data(), utf8.Size());
}

}  // namespace standin_driver
