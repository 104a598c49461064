// TicketSession: the one ticket that the library has open, and the current
// context within it. The entry points work on a single process-wide session;
// like its client, the library takes no lock and expects its callers to
// serialise their calls.
#pragma once

#include "convertapi/common/platform.h"
#include "standins/ticketlib/ticket_node.h"

namespace standin {

class TicketSession {
public:
    TicketSession();
    ~TicketSession();
    TicketSession(const TicketSession &) = delete;
    TicketSession &operator=(const TicketSession &) = delete;

    // Opens the ticket at `path` in place of any open one. On failure nothing
    // is open, not even the ticket that was open before.
    int Open(const WCHAR *path);
    // 1 if a ticket was open.
    int Close();
    // Makes the section or feature that `path` names the current context.
    int SetContext(const WCHAR *path);
    // Lists the features directly below the current context; `parent` must be
    // null (no other meaning is defined).
    int ListFeatures(const void *parent, WCHAR *list) const;
    // The value of the feature that `name` names (a name below the current
    // context, or a path).
    int GetValue(const WCHAR *name, WCHAR *value);

private:
    TicketNode *root_;           // null while no ticket is open
    const TicketNode *context_;  // null until a context is set
    // The feature whose value the last ZELGet read, until the next
    // SetContext: a walk descends into exactly that feature.
    const TicketNode *lastRead_;
};

}  // namespace standin
