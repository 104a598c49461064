// BoundedCopy, BoundedCat, BoundedLength and BoundedFormat with arbitrary
// capacities and texts, each held against what its contract says the result
// and the destination must be. Destinations are allocated with exactly their
// capacity, so that a write past it is caught; a refused capacity comes with
// a small buffer that must stay untouched.
#include "convertapi/common/bounded_string.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using convertapi::BoundedCat;
using convertapi::BoundedCopy;
using convertapi::BoundedFormat;
using convertapi::BoundedLength;
using convertapi::kBoundedInsufficientBuffer;
using convertapi::kBoundedInvalidArgument;
using convertapi::kBoundedOk;

using WString = std::basic_string<WCHAR>;
constexpr WCHAR kUntouched = 0xBEEF;

void Check(bool condition)
{
    if (!condition) std::abort();
}

// Text without zeros: the characters a source holds before its terminator.
WString Text(FuzzedDataProvider &fdp, size_t most)
{
    const size_t length = fdp.ConsumeIntegralInRange<size_t>(0, most);
    WString text;
    for (size_t i = 0; i < length && fdp.remaining_bytes() != 0; ++i) {
        WCHAR c = fdp.ConsumeIntegral<uint16_t>();
        text.push_back(c == 0 ? TEXT('z') : c);
    }
    return text;
}

// A capacity: mostly small, sometimes one of the edges.
size_t Capacity(FuzzedDataProvider &fdp)
{
    switch (fdp.ConsumeIntegralInRange<int>(0, 7)) {
    case 0: return 0;
    case 1: return 0x80000000u;
    case 2: return static_cast<size_t>(-1);
    default: return fdp.ConsumeIntegralInRange<size_t>(1, 600);
    }
}

bool Refused(size_t capacity) { return capacity == 0 || capacity > 0x7FFFFFFF; }

// What a copy of `source` into `capacity` characters gives.
HRESULT ExpectedCopy(const WString &source, size_t capacity, WString *stored)
{
    if (source.size() < capacity) {
        *stored = source;
        return kBoundedOk;
    }
    *stored = source.substr(0, capacity - 1);
    return kBoundedInsufficientBuffer;
}

void FuzzCopy(FuzzedDataProvider &fdp)
{
    const size_t capacity = Capacity(fdp);
    const WString source = Text(fdp, 700);
    if (Refused(capacity)) {
        std::vector<WCHAR> small(4, kUntouched);
        Check(BoundedCopy(small.data(), capacity, source.c_str()) == kBoundedInvalidArgument);
        for (WCHAR c : small) Check(c == kUntouched);
        return;
    }
    std::vector<WCHAR> destination(capacity, kUntouched);
    WString stored;
    Check(BoundedCopy(destination.data(), capacity, source.c_str()) == ExpectedCopy(source, capacity, &stored));
    Check(WString(destination.data()) == stored);
}

void FuzzCat(FuzzedDataProvider &fdp)
{
    const size_t capacity = Capacity(fdp);
    const WString existing = Text(fdp, 700);
    const bool terminated = fdp.ConsumeBool();
    const WString source = Text(fdp, 700);
    if (Refused(capacity)) {
        std::vector<WCHAR> small(4, kUntouched);
        small[0] = 0;
        Check(BoundedCat(small.data(), capacity, source.c_str()) == kBoundedInvalidArgument);
        for (size_t i = 1; i < small.size(); ++i) Check(small[i] == kUntouched);
        return;
    }
    // The destination's own text, cut to the capacity; without its zero when
    // `terminated` is false, so that no zero lies within the capacity.
    std::vector<WCHAR> destination(capacity, TEXT('y'));
    const size_t kept = existing.size() < capacity ? existing.size() : capacity;
    for (size_t i = 0; i < kept; ++i) destination[i] = existing[i];
    if (terminated && kept < capacity) destination[kept] = 0;
    const bool hasZero = terminated && kept < capacity;
    const std::vector<WCHAR> before = destination;

    const HRESULT result = BoundedCat(destination.data(), capacity, source.c_str());
    if (!hasZero) {
        Check(result == kBoundedInvalidArgument);
        Check(destination == before);
        return;
    }
    WString stored;
    Check(result == ExpectedCopy(source, capacity - kept, &stored));
    Check(WString(destination.data()) == existing.substr(0, kept) + stored);
}

void FuzzLength(FuzzedDataProvider &fdp)
{
    const WString text = Text(fdp, 700);
    const bool terminated = fdp.ConsumeBool();
    // The buffer holds the text and, maybe, its zero; the maximum never lets
    // the count run past the buffer unless a zero stops it first.
    std::vector<WCHAR> buffer(text.begin(), text.end());
    if (terminated) buffer.push_back(0);
    size_t maximum;
    switch (fdp.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: maximum = 0x80000000u; break;
    case 1: maximum = terminated ? 0x7FFFFFFF : buffer.size(); break;
    default: maximum = fdp.ConsumeIntegralInRange<size_t>(0, buffer.size()); break;
    }
    const bool withOut = fdp.ConsumeBool();
    size_t length = 12345;
    const HRESULT result = BoundedLength(buffer.empty() ? TEXT("") : buffer.data(), maximum, withOut ? &length : nullptr);
    const size_t real = text.size();
    const bool ok = maximum <= 0x7FFFFFFF && (terminated || buffer.empty()) && real < maximum;
    Check(result == (ok ? kBoundedOk : kBoundedInvalidArgument));
    if (withOut) Check(length == (ok ? real : 0));
}

WString Widened(const std::string &ascii) { return WString(ascii.begin(), ascii.end()); }

void FuzzFormat(FuzzedDataProvider &fdp)
{
    const size_t capacity = Capacity(fdp);
    const uint32_t value = fdp.ConsumeIntegral<uint32_t>();
    const WString text = Text(fdp, 300);
    struct Form {
        const WCHAR *format;
        int kind;  // 0 unsigned, 1 hex, 2 HEX, 3 signed, 4 char, 5 text, 6 none, 7 error
        const char *before;
        const char *after;
    };
    static const Form forms[] = {
        {TEXT("%lu"), 0, "", ""},      {TEXT("%u"), 0, "", ""},         {TEXT("%x"), 1, "", ""},
        {TEXT("%lX"), 2, "", ""},      {TEXT("%d"), 3, "", ""},         {TEXT("%li"), 3, "", ""},
        {TEXT("%c"), 4, "", ""},       {TEXT("%s"), 5, "", ""},         {TEXT("%%"), 6, "%", ""},
        {TEXT("QXProcID%lu"), 0, "QXProcID", ""}, {TEXT("[%s]"), 5, "[", "]"},
        {TEXT("ab%"), 7, "ab", ""},    {TEXT("ab%l"), 7, "ab", ""},     {TEXT("ab%q%lu"), 7, "ab", ""},
    };
    const Form &form = forms[fdp.ConsumeIntegralInRange<size_t>(0, sizeof(forms) / sizeof(forms[0]) - 1)];
    const WCHAR c = text.empty() ? TEXT('c') : text[0];

    WString middle;
    char number[32];
    switch (form.kind) {
    case 0: std::snprintf(number, sizeof(number), "%u", value); middle = Widened(number); break;
    case 1: std::snprintf(number, sizeof(number), "%x", value); middle = Widened(number); break;
    case 2: std::snprintf(number, sizeof(number), "%X", value); middle = Widened(number); break;
    case 3: std::snprintf(number, sizeof(number), "%d", static_cast<int32_t>(value)); middle = Widened(number); break;
    case 4: middle = WString(1, c); break;
    case 5: middle = text; break;
    default: break;
    }
    const WString expected = Widened(form.before) + middle + Widened(form.after);

    // Each value goes in as the type its conversion takes.
    const bool isLong = WString(form.format).find(TEXT('l')) != WString::npos;
    auto run = [&](WCHAR *destination, size_t cap) -> HRESULT {
        switch (form.kind) {
        case 4: return BoundedFormat(destination, cap, form.format, static_cast<int>(c));
        case 5: return BoundedFormat(destination, cap, form.format, text.c_str());
        case 3:
            return isLong ? BoundedFormat(destination, cap, form.format, static_cast<long>(static_cast<int32_t>(value)))
                          : BoundedFormat(destination, cap, form.format, static_cast<int>(value));
        default:
            return isLong ? BoundedFormat(destination, cap, form.format, static_cast<unsigned long>(value))
                          : BoundedFormat(destination, cap, form.format, static_cast<unsigned>(value));
        }
    };
    if (Refused(capacity)) {
        std::vector<WCHAR> small(4, kUntouched);
        Check(run(small.data(), capacity) == kBoundedInvalidArgument);
        for (WCHAR w : small) Check(w == kUntouched);
        return;
    }
    std::vector<WCHAR> destination(capacity, kUntouched);
    const HRESULT result = run(destination.data(), capacity);
    WString stored;
    HRESULT fits = ExpectedCopy(expected, capacity, &stored);
    Check(result == (form.kind == 7 ? kBoundedInsufficientBuffer : fits));
    Check(WString(destination.data()) == stored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    switch (fdp.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: FuzzCopy(fdp); break;
    case 1: FuzzCat(fdp); break;
    case 2: FuzzLength(fdp); break;
    default: FuzzFormat(fdp); break;
    }
    return 0;
}
