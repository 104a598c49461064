// Context paths: how the library reads the names and paths given to
// ZELSetContext and ZELGet. Segments are joined with '/'; none is empty.
//
// The client walks a ticket by descending with bare names ("Printing", then
// "Duplex", then "DuplexEdge") and coming back with the joined paths it
// saved. A saved path may repeat its leading part any number of times
// ("Printing/Printing/Duplex", "Printing/Printing/Duplex/Printing/Printing/
// Duplex/Edge"), but it always ends in the full path of its context from a
// section down. So a joined path is read from one of its section-name
// segments on; and since the client comes back up right after walking a
// feature, the reading that yields the current context's parent is taken
// first. docs/ticket-library.md gives the rules with examples.
#pragma once

#include "convertapi/common/platform.h"
#include "standins/ticketlib/ticket_node.h"

namespace standin {

// The section or feature that a ZELSetContext `path` names in the ticket
// under `root`. `current` is the current context and `lastRead` the feature
// whose value was read last since then (each null when there is none). A
// single name is, in this order: `lastRead` if it has that name (descending
// into the feature just read), a section, or a feature directly below
// `current`. A joined path is read as ResolveJoinedPath does.
const TicketNode *ResolveContextPath(const TicketNode *root, const TicketNode *current, const TicketNode *lastRead,
                                     const WCHAR *path);

// The feature or section that a ZELGet `name` names: a single name is a
// feature directly below `current`; a joined path is read as
// ResolveJoinedPath does.
const TicketNode *ResolveValuePath(const TicketNode *root, const TicketNode *current, const WCHAR *name);

// A joined path: from each segment that names a section, the rest of the path
// is followed down the ticket; of the readings that lead somewhere, the
// parent of `current` is taken if it is among them, else the one that starts
// leftmost. Without any, the whole path is followed down from `current`.
const TicketNode *ResolveJoinedPath(const TicketNode *root, const TicketNode *current, const WCHAR *path);

}  // namespace standin
