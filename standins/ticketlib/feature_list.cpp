#include "standins/ticketlib/feature_list.h"

#include "standins/ticketlib/output_buffer.h"

#include <cstring>

namespace standin {

int WriteFeatureList(const TicketNode *node, WCHAR *list)
{
    if (!node || !list) return 0;
    size_t length = 0;
    for (size_t i = 0; i < node->childCount; ++i) length += node->children[i].name.Size() + (i ? 1 : 0);
    const size_t capacity = PreparedCapacity(list);
    if (capacity == 0 || length > capacity - 1) return 0;
    WCHAR *target = list;
    for (size_t i = 0; i < node->childCount; ++i) {
        if (i) *target++ = kListSeparator;
        const OwnedArray<WCHAR> &name = node->children[i].name;
        memcpy(target, name.Data(), name.Size() * sizeof(WCHAR));
        target += name.Size();
    }
    *target = 0;
    return 1;
}

int TakeListToken(WCHAR *token, WCHAR *list)
{
    if (!token || !list) return 0;
    // Separators with nothing between them are skipped; the library never
    // writes such a list, but a caller might hand one in.
    size_t start = 0;
    while (list[start] == kListSeparator) ++start;
    size_t end = start;
    while (list[end] && list[end] != kListSeparator) ++end;
    if (end == start) return 0;
    if (!WritePrepared(token, list + start, end - start)) return 0;
    if (list[end] == kListSeparator) ++end;
    size_t rest = 0;
    while (list[end + rest]) ++rest;
    memmove(list, list + end, (rest + 1) * sizeof(WCHAR));
    return 1;
}

}  // namespace standin
