#include "standins/ticketlib/ticket_node.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace standin {
namespace {

// Orders names by their UTF-16 code units, shorter first on a common prefix.
int CompareNames(const WCHAR *a, size_t aLength, const WCHAR *b, size_t bLength)
{
    const size_t common = aLength < bLength ? aLength : bLength;
    for (size_t i = 0; i < common; ++i) {
        if (a[i] != b[i]) return static_cast<uint16_t>(a[i]) < static_cast<uint16_t>(b[i]) ? -1 : 1;
    }
    return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
}

int CompareNodes(const TicketNode *a, const TicketNode *b)
{
    return CompareNames(a->name.Data(), a->name.Size(), b->name.Data(), b->name.Size());
}

}  // namespace

TicketNode::TicketNode()
    : kind(kRoot), parent(nullptr), children(nullptr), childCount(0), index_(nullptr)
{
}

TicketNode::~TicketNode()
{
    delete[] index_;
    delete[] children;
}

int TicketNode::AllocateChildren(size_t count)
{
    delete[] index_;
    index_ = nullptr;
    delete[] children;
    children = nullptr;
    childCount = 0;
    if (count == 0) return 1;
    children = new (std::nothrow) TicketNode[count];
    if (!children) return 0;
    childCount = count;
    for (size_t i = 0; i < count; ++i) children[i].parent = this;
    return 1;
}

int TicketNode::IndexChildren()
{
    delete[] index_;
    index_ = nullptr;
    if (childCount == 0) return 1;
    index_ = new (std::nothrow) const TicketNode *[childCount];
    if (!index_) return 0;
    for (size_t i = 0; i < childCount; ++i) index_[i] = &children[i];
    std::sort(index_, index_ + childCount,
              [](const TicketNode *a, const TicketNode *b) { return CompareNodes(a, b) < 0; });
    for (size_t i = 1; i < childCount; ++i) {
        if (CompareNodes(index_[i - 1], index_[i]) == 0) return 0;
    }
    return 1;
}

const TicketNode *TicketNode::FindChild(const WCHAR *wanted, size_t length) const
{
    if (!index_ || !wanted) return nullptr;
    size_t low = 0;
    size_t high = childCount;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const TicketNode *candidate = index_[middle];
        const int order = CompareNames(candidate->name.Data(), candidate->name.Size(), wanted, length);
        if (order == 0) return candidate;
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return nullptr;
}

}  // namespace standin
