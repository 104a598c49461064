#include "convertapi/common/bounded_string.h"

#include <cstdarg>
#include <cstdint>

namespace convertapi {
namespace {

bool CapacityValid(size_t capacity) { return capacity != 0 && capacity <= kBoundedMaxCapacity; }

// Copies into exactly `capacity` characters: the shared step of copy and cat.
HRESULT CopyWithin(WCHAR *destination, size_t capacity, const WCHAR *source)
{
    size_t room = capacity;
    size_t copied = 0;
    HRESULT result = kBoundedOk;
    while (room != 0 && copied < kBoundedMaxCapacity - 1 && source[copied] != 0) {
        destination[copied] = source[copied];
        ++copied;
        --room;
    }
    if (room == 0) {
        --copied;  // give back the last character for the terminating zero
        result = kBoundedInsufficientBuffer;
    }
    destination[copied] = 0;
    return result;
}

// Appends one character, keeping count of what would not fit.
struct FormatSink {
    WCHAR *destination;
    size_t capacity;
    size_t written = 0;
    bool overflow = false;

    void Put(WCHAR c)
    {
        if (written + 1 < capacity)
            destination[written++] = c;
        else
            overflow = true;
    }
    void PutUnsigned(uint64_t value, unsigned base, bool upper = false)
    {
        WCHAR digits[24];
        int count = 0;
        do {
            unsigned digit = static_cast<unsigned>(value % base);
            WCHAR letterA = upper ? u'A' : u'a';
            digits[count++] = static_cast<WCHAR>(digit < 10 ? u'0' + digit : letterA + digit - 10);
            value /= base;
        } while (value != 0);
        while (count > 0) Put(digits[--count]);
    }
};

}  // namespace

HRESULT BoundedCopy(WCHAR *destination, size_t capacity, const WCHAR *source)
{
    if (!CapacityValid(capacity) || destination == nullptr) return kBoundedInvalidArgument;
    if (source == nullptr) {
        destination[0] = 0;
        return kBoundedInvalidArgument;
    }
    return CopyWithin(destination, capacity, source);
}

HRESULT BoundedCat(WCHAR *destination, size_t capacity, const WCHAR *source)
{
    if (!CapacityValid(capacity) || destination == nullptr) return kBoundedInvalidArgument;
    size_t existing = 0;
    if (FAILED(BoundedLength(destination, capacity, &existing))) return kBoundedInvalidArgument;
    if (source == nullptr) return kBoundedInvalidArgument;
    return CopyWithin(destination + existing, capacity - existing, source);
}

HRESULT BoundedLength(const WCHAR *text, size_t maximum, size_t *length)
{
    if (length != nullptr) *length = 0;
    if (text == nullptr || maximum > kBoundedMaxCapacity) return kBoundedInvalidArgument;
    size_t count = 0;
    while (count < maximum && text[count] != 0) ++count;
    if (count == maximum) return kBoundedInvalidArgument;
    if (length != nullptr) *length = count;
    return kBoundedOk;
}

HRESULT BoundedFormat(WCHAR *destination, size_t capacity, const WCHAR *format, ...)
{
    if (!CapacityValid(capacity) || destination == nullptr) return kBoundedInvalidArgument;
    if (format == nullptr) {
        destination[0] = 0;
        return kBoundedInvalidArgument;
    }
    FormatSink sink{destination, capacity};
    bool formatError = false;
    va_list args;
    va_start(args, format);
    // The loop leaves through `break` on an error so that a format ending in
    // "%" or "%l" is never read past its terminating zero.
    for (const WCHAR *p = format; *p != 0; ++p) {
        if (*p != u'%') {
            sink.Put(*p);
            continue;
        }
        ++p;
        bool isLong = false;
        if (*p == u'l') {
            isLong = true;
            ++p;
        }
        switch (*p) {
        case u'u':
            sink.PutUnsigned(isLong ? static_cast<uint32_t>(va_arg(args, unsigned long)) : va_arg(args, unsigned), 10);
            break;
        case u'x':
        case u'X':
            sink.PutUnsigned(isLong ? static_cast<uint32_t>(va_arg(args, unsigned long)) : va_arg(args, unsigned), 16,
                             *p == u'X');
            break;
        case u'd':
        case u'i': {
            long long value = isLong ? static_cast<int32_t>(va_arg(args, long)) : va_arg(args, int);
            if (value < 0) {
                sink.Put(u'-');
                value = -value;
            }
            sink.PutUnsigned(static_cast<uint64_t>(value), 10);
            break;
        }
        case u's': {
            const WCHAR *text = va_arg(args, const WCHAR *);
            if (text == nullptr) text = TEXT("(null)");
            for (; *text != 0; ++text) sink.Put(*text);
            break;
        }
        case u'c':
            sink.Put(static_cast<WCHAR>(va_arg(args, int)));
            break;
        case u'%':
            sink.Put(u'%');
            break;
        default:  // an unknown conversion, or a format that ends in '%'
            formatError = true;
            break;
        }
        if (formatError) break;
    }
    va_end(args);
    destination[sink.written] = 0;
    return (sink.overflow || formatError) ? kBoundedInsufficientBuffer : kBoundedOk;
}

}  // namespace convertapi
