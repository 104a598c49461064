#include "standins/ticketlib/output_buffer.h"

#include <cstdint>
#include <cstring>

namespace standin {

size_t PreparedCapacity(const WCHAR *buffer)
{
    if (!buffer) return 0;
    size_t filled = 0;
    while (static_cast<uint16_t>(buffer[filled]) == 0xFFFF) ++filled;
    return buffer[filled] == 0 ? filled + 1 : 0;
}

int WritePrepared(WCHAR *buffer, const WCHAR *text, size_t length)
{
    const size_t capacity = PreparedCapacity(buffer);
    if (capacity == 0 || length > capacity - 1 || (!text && length)) return 0;
    if (length) memcpy(buffer, text, length * sizeof(WCHAR));
    buffer[length] = 0;
    return 1;
}

}  // namespace standin
