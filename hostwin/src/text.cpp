// Name comparison and text conversion shared by the registry and spooler.
#include "internal.h"

namespace hostwin {

char16_t UpperCase(char16_t c)
{
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? char16_t(c - 0x20) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A: pairs, upper case first; two runs start on an odd code.
        // The dotless/dotted i (0x130, 0x131) and the long s (0x17F) have no partner.
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        bool oddRun = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        bool lower = oddRun ? (c % 2 == 0) : (c % 2 == 1);
        return lower ? char16_t(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return char16_t(c - 0x20); // Greek
    if (c >= 0x430 && c <= 0x44F) return char16_t(c - 0x20);                 // Cyrillic
    if (c >= 0x450 && c <= 0x45F) return char16_t(c - 0x50);
    return c;
}

int CompareNoCase(const std::u16string &a, const std::u16string &b)
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        char16_t x = UpperCase(a[i]), y = UpperCase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool EqualNoCase(const std::u16string &a, const std::u16string &b)
{
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

std::u16string FromWide(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }

std::string ToUtf8(const std::u16string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace hostwin
