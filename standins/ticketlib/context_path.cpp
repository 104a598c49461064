#include "standins/ticketlib/context_path.h"

namespace standin {
namespace {

constexpr WCHAR kPathSeparator = TEXT('/');

size_t SegmentLength(const WCHAR *segment)
{
    size_t length = 0;
    while (segment[length] && segment[length] != kPathSeparator) ++length;
    return length;
}

// Follows every segment from `segment` on, starting below `from`.
const TicketNode *Descend(const TicketNode *from, const WCHAR *segment)
{
    for (;;) {
        const size_t length = SegmentLength(segment);
        from = from->FindChild(segment, length);
        if (!from || !segment[length]) return from;
        segment += length + 1;
    }
}

int WellFormed(const WCHAR *path)
{
    if (!path || !path[0]) return 0;
    for (const WCHAR *p = path; *p; ++p) {
        if (*p == kPathSeparator && (p == path || !p[1] || p[1] == kPathSeparator)) return 0;
    }
    return 1;
}

int IsSingleName(const WCHAR *path) { return !path[SegmentLength(path)]; }

int HasName(const TicketNode *node, const WCHAR *name, size_t length)
{
    if (!node || node->name.Size() != length) return 0;
    for (size_t i = 0; i < length; ++i) {
        if (node->name.Data()[i] != name[i]) return 0;
    }
    return 1;
}

}  // namespace

const TicketNode *ResolveJoinedPath(const TicketNode *root, const TicketNode *current, const WCHAR *path)
{
    if (!root || !WellFormed(path)) return nullptr;
    const TicketNode *leftmost = nullptr;
    for (const WCHAR *segment = path; segment;) {
        const size_t length = SegmentLength(segment);
        if (root->FindChild(segment, length)) {
            const TicketNode *found = Descend(root, segment);
            if (found && current && found == current->parent) return found;
            if (found && !leftmost) leftmost = found;
        }
        segment = segment[length] ? segment + length + 1 : nullptr;
    }
    if (leftmost) return leftmost;
    return current ? Descend(current, path) : nullptr;
}

const TicketNode *ResolveContextPath(const TicketNode *root, const TicketNode *current, const TicketNode *lastRead,
                                     const WCHAR *path)
{
    if (!root || !WellFormed(path)) return nullptr;
    if (!IsSingleName(path)) return ResolveJoinedPath(root, current, path);
    const size_t length = SegmentLength(path);
    if (HasName(lastRead, path, length)) return lastRead;
    const TicketNode *section = root->FindChild(path, length);
    if (section) return section;
    return current ? current->FindChild(path, length) : nullptr;
}

const TicketNode *ResolveValuePath(const TicketNode *root, const TicketNode *current, const WCHAR *name)
{
    if (!root || !WellFormed(name)) return nullptr;
    if (!IsSingleName(name)) return ResolveJoinedPath(root, current, name);
    return current ? current->FindChild(name, SegmentLength(name)) : nullptr;
}

}  // namespace standin
