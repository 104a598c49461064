// A look at an XML text before the parser sees it: the parser descends one
// call per element level, so a deeply nested file would exhaust the stack
// before any check of ours could refuse it. The scan follows the parser's own
// reading of markup (comments, CDATA, processing instructions, DOCTYPE,
// quoted attribute values) without recursion.
#pragma once

#include <cstddef>

namespace standin {

// 1 when no element in the zero-terminated `text` lies more than `limit`
// levels deep (the root element is level 1) and the closing tags never
// outnumber the opening ones; 0 otherwise, and for text the scan cannot
// follow (an unterminated tag, comment or section).
int XmlNestingWithin(const char *text, size_t limit);

}  // namespace standin
