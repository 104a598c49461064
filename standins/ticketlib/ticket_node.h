// TicketNode: one node of an open ticket: the root (whose children are the
// sections), a section, or a feature. Each node owns its name, its value and
// its children; the children keep the order of the file, and a sorted index
// beside them finds a child by name in logarithmic time.
#pragma once

#include "convertapi/common/platform.h"
#include "standins/common/owned_array.h"

#include <cstddef>

namespace standin {

class TicketNode {
public:
    enum Kind { kRoot, kSection, kFeature };

    TicketNode();
    ~TicketNode();
    TicketNode(const TicketNode &) = delete;
    TicketNode &operator=(const TicketNode &) = delete;

    // Replaces the children with `count` empty nodes whose parent is this one.
    int AllocateChildren(size_t count);
    // Builds the name index once the children's names are set. Fails on two
    // children of the same name (a malformed ticket) or an allocation failure.
    int IndexChildren();
    // The child called exactly `name` (`length` characters), or null.
    const TicketNode *FindChild(const WCHAR *name, size_t length) const;

    Kind kind;
    OwnedArray<WCHAR> name;   // empty for the root
    OwnedArray<WCHAR> value;  // a feature's value; empty for the root and sections
    const TicketNode *parent;
    TicketNode *children;  // childCount nodes, in file order
    size_t childCount;

private:
    const TicketNode **index_;  // the children sorted by name
};

}  // namespace standin
