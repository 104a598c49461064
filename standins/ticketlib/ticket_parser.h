// Reads a ticket file (docs/ticket-format.md) into a tree of TicketNodes.
#pragma once

#include "convertapi/common/platform.h"
#include "standins/ticketlib/ticket_node.h"

#include <cstddef>

namespace standin {

// Bounds of what the library reads: larger or deeper tickets are malformed.
constexpr size_t kMaxTicketBytes = 16u * 1024u * 1024u;
constexpr size_t kMaxElementDepth = 256;  // XML element levels, the root element included
constexpr size_t kMaxNameLength = 255;    // UTF-16 code units

// Parses the ticket in `text` (`size` bytes, writable, with a zero byte after
// them; the parser works in place) into `root`, whose children become the
// sections. 0 for a malformed ticket or an allocation failure; `root` may then
// hold part of the tree and is to be discarded.
int ParseTicket(char *text, size_t size, TicketNode *root);

// Reads and parses the ticket file at `path` into `root`; 0 if the file is
// missing, unreadable, larger than kMaxTicketBytes or malformed.
int LoadTicketFile(const WCHAR *path, TicketNode *root);

}  // namespace standin
