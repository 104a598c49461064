// Feature lists and their tokens. A list is the names of a context's features
// in file order, joined by ';' and zero-terminated ("Duplex;MediaType"); an
// empty list is the empty text. Tokens are taken from the front of the list,
// which the library shortens in place to remember its position.
#pragma once

#include "convertapi/common/platform.h"
#include "standins/ticketlib/ticket_node.h"

namespace standin {

constexpr WCHAR kListSeparator = TEXT(';');

// Writes the names of `node`'s children into the prepared `list`; fails,
// writing nothing, if the list does not fit.
int WriteFeatureList(const TicketNode *node, WCHAR *list);

// Moves the first token of `list` into the prepared `token` and removes it
// from the list. Fails when the list holds no more tokens, or when the token
// does not fit (the list is then left as it was).
int TakeListToken(WCHAR *token, WCHAR *list);

}  // namespace standin
