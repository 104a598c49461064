// WideCharToMultiByte / MultiByteToWideChar for the two code pages the host
// knows: CP_ACP, which is Windows-1252 as on a Western Windows, and CP_UTF8.
//
// A character that Windows-1252 cannot represent becomes the default
// character ('?' unless one is given) and sets *lpUsedDefaultChar. Windows
// would first try a "best fit" (e.g. U+0100 to 'A'); hostwin does not, so
// tests use characters without one (CJK, for instance).
// Invalid UTF-16 or UTF-8 converts to U+FFFD, as on Windows since Vista.
#include "internal.h"

#include <cstring>

namespace {

const UINT kCp1252 = 1252;

// Windows-1252 bytes 0x80..0x9F. The five bytes that the code page leaves
// undefined map to the C1 controls of the same value, as in Windows' table.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool Known(UINT codePage) { return codePage == CP_ACP || codePage == kCp1252 || codePage == CP_UTF8; }

// One UTF-16 unit to Windows-1252; false when it has no byte there.
bool ToCp1252(char16_t c, char *out)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        *out = static_cast<char>(c);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c) {
            *out = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

void AppendUtf8(char32_t c, std::string *out)
{
    if (c < 0x80) {
        *out += static_cast<char>(c);
    } else if (c < 0x800) {
        *out += static_cast<char>(0xC0 | (c >> 6));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += static_cast<char>(0xE0 | (c >> 12));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (c >> 18));
        *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void EncodeUtf8(const WCHAR *in, int n, std::string *out)
{
    for (int i = 0; i < n; ++i) {
        char32_t c = in[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(c, out);
    }
}

// UTF-8 to UTF-16; each maximal invalid sequence becomes one U+FFFD.
void DecodeUtf8(const unsigned char *in, int n, std::u16string *out)
{
    int i = 0;
    while (i < n) {
        unsigned char b = in[i];
        int length = 0;
        char32_t c = 0;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (b < 0x80) {
            out->push_back(b);
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = 2, c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3, c = b & 0x0F;
            if (b == 0xE0) low = 0xA0;   // no overlong forms
            if (b == 0xED) high = 0x9F;  // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, c = b & 0x07;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;  // nothing above U+10FFFF
        } else {
            out->push_back(0xFFFD);
            ++i;
            continue;
        }
        int j = 1;
        for (; j < length && i + j < n; ++j) {
            unsigned char next = in[i + j];
            unsigned char lo = j == 1 ? low : 0x80, hi = j == 1 ? high : 0xBF;
            if (next < lo || next > hi) break;
            c = (c << 6) | (next & 0x3F);
        }
        if (j < length) {
            out->push_back(0xFFFD);
            i += j;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out->push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out->push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out->push_back(static_cast<char16_t>(c));
        }
        i += length;
    }
}

} // namespace

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar)
{
    (void)dwFlags;
    if (hostwin::FaultHits("WideCharToMultiByte", nullptr)) {  // by name only: no category fails it
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!Known(CodePage) || !lpWideCharStr || cchWideChar == 0 || cbMultiByte < 0 ||
        (cbMultiByte && !lpMultiByteStr) ||
        (lpMultiByteStr && static_cast<const void *>(lpWideCharStr) == static_cast<const void *>(lpMultiByteStr)) ||
        (CodePage == CP_UTF8 && (lpDefaultChar || lpUsedDefaultChar))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int length = cchWideChar;
    if (length < 0) {
        length = 0;
        while (lpWideCharStr[length]) ++length;
        ++length; // the NUL is converted too
    }
    std::string out;
    bool usedDefault = false;
    if (CodePage == CP_UTF8) {
        EncodeUtf8(lpWideCharStr, length, &out);
    } else {
        char fallback = lpDefaultChar ? lpDefaultChar[0] : '?';
        for (int i = 0; i < length; ++i) {
            char c;
            if (!ToCp1252(lpWideCharStr[i], &c)) {
                c = fallback;
                usedDefault = true;
            }
            out += c;
        }
    }
    if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    if (cbMultiByte == 0) return static_cast<int>(out.size());
    if (out.size() > static_cast<size_t>(cbMultiByte)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpMultiByteStr, out.data(), out.size());
    return static_cast<int>(out.size());
}

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar)
{
    (void)dwFlags;
    if (!Known(CodePage) || !lpMultiByteStr || cbMultiByte == 0 || cchWideChar < 0 ||
        (cchWideChar && !lpWideCharStr) ||
        (lpWideCharStr && static_cast<const void *>(lpWideCharStr) == static_cast<const void *>(lpMultiByteStr))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int length = cbMultiByte < 0 ? static_cast<int>(std::strlen(lpMultiByteStr)) + 1 : cbMultiByte;
    const unsigned char *in = reinterpret_cast<const unsigned char *>(lpMultiByteStr);
    std::u16string out;
    if (CodePage == CP_UTF8) {
        DecodeUtf8(in, length, &out);
    } else {
        for (int i = 0; i < length; ++i)
            out.push_back(in[i] >= 0x80 && in[i] < 0xA0 ? kCp1252High[in[i] - 0x80] : in[i]);
    }
    if (cchWideChar == 0) return static_cast<int>(out.size());
    if (out.size() > static_cast<size_t>(cchWideChar)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpWideCharStr, out.data(), out.size() * sizeof(WCHAR));
    return static_cast<int>(out.size());
}
