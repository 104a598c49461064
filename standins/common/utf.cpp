#include "standins/common/utf.h"

#include <cstdint>

namespace standin {
namespace {

// Decodes one UTF-8 sequence at text[*pos]; advances *pos. 0 on invalid input.
int DecodeUtf8(const unsigned char *text, size_t length, size_t *pos, uint32_t *codePoint)
{
    const unsigned char lead = text[*pos];
    size_t extra;
    uint32_t value;
    uint32_t minimum;
    if (lead < 0x80) {
        *codePoint = lead;
        *pos += 1;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;  // continuation byte, or a lead that only overlong or too-large forms use
    }
    if (length - *pos <= extra) return 0;
    for (size_t i = 1; i <= extra; ++i) {
        const unsigned char next = text[*pos + i];
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *codePoint = value;
    *pos += extra + 1;
    return 1;
}

// Decodes one UTF-16 character at text[*pos]; advances *pos. 0 on an unpaired surrogate.
int DecodeUtf16(const WCHAR *text, size_t length, size_t *pos, uint32_t *codePoint)
{
    const uint32_t first = static_cast<uint16_t>(text[*pos]);
    if (first < 0xD800 || first > 0xDFFF) {
        *codePoint = first;
        *pos += 1;
        return 1;
    }
    if (first > 0xDBFF || *pos + 1 >= length) return 0;
    const uint32_t second = static_cast<uint16_t>(text[*pos + 1]);
    if (second < 0xDC00 || second > 0xDFFF) return 0;
    *codePoint = 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
    *pos += 2;
    return 1;
}

}  // namespace

int Utf8ToUtf16(const char *text, size_t length, OwnedArray<WCHAR> *out)
{
    if (!out) return 0;
    out->Reset();
    if (!text) return 0;
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(text);
    // First pass validates and counts, so the output is allocated once.
    size_t units = 0;
    for (size_t pos = 0; pos < length;) {
        uint32_t codePoint;
        if (!DecodeUtf8(bytes, length, &pos, &codePoint)) return 0;
        units += codePoint >= 0x10000 ? 2 : 1;
    }
    if (!out->Allocate(units)) return 0;
    WCHAR *target = out->Data();
    for (size_t pos = 0; pos < length;) {
        uint32_t codePoint = 0;
        DecodeUtf8(bytes, length, &pos, &codePoint);
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            *target++ = static_cast<WCHAR>(0xD800 + (codePoint >> 10));
            *target++ = static_cast<WCHAR>(0xDC00 + (codePoint & 0x3FF));
        } else {
            *target++ = static_cast<WCHAR>(codePoint);
        }
    }
    return 1;
}

int Utf16ToUtf8(const WCHAR *text, size_t length, OwnedArray<char> *out)
{
    if (!out) return 0;
    out->Reset();
    if (!text) return 0;
    size_t bytes = 0;
    for (size_t pos = 0; pos < length;) {
        uint32_t codePoint;
        if (!DecodeUtf16(text, length, &pos, &codePoint)) return 0;
        bytes += codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
    }
    if (!out->Allocate(bytes)) return 0;
    unsigned char *target = reinterpret_cast<unsigned char *>(out->Data());
    for (size_t pos = 0; pos < length;) {
        uint32_t c = 0;
        DecodeUtf16(text, length, &pos, &c);
        if (c < 0x80) {
            *target++ = static_cast<unsigned char>(c);
        } else if (c < 0x800) {
            *target++ = static_cast<unsigned char>(0xC0 | (c >> 6));
            *target++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *target++ = static_cast<unsigned char>(0xE0 | (c >> 12));
            *target++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *target++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else {
            *target++ = static_cast<unsigned char>(0xF0 | (c >> 18));
            *target++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            *target++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *target++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        }
    }
    return 1;
}

size_t WideLength(const WCHAR *text)
{
    size_t length = 0;
    if (text) {
        while (text[length]) ++length;
    }
    return length;
}

}  // namespace standin
