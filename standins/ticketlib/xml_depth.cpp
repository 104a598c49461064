#include "standins/ticketlib/xml_depth.h"

#include <cstring>

namespace standin {
namespace {

// The parser's character classes, byte for byte.
int IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
int IsNameChar(char c) { return c && !IsSpace(c) && c != '/' && c != '>' && c != '?'; }
int IsAttributeNameChar(char c)
{
    return IsNameChar(c) && c != '!' && c != '<' && c != '=';
}

const char *SkipSpace(const char *text)
{
    while (IsSpace(*text)) ++text;
    return text;
}

// Position just after the first `terminator` at or after `text`, or null.
const char *SkipPast(const char *text, const char *terminator)
{
    const char *found = strstr(text, terminator);
    return found ? found + strlen(terminator) : nullptr;
}

// After "<!DOCTYPE ": up to the first '>' outside square brackets.
const char *SkipDoctype(const char *text)
{
    size_t brackets = 0;
    for (; *text; ++text) {
        if (*text == '[') {
            ++brackets;
        } else if (*text == ']') {
            if (brackets) --brackets;
        } else if (*text == '>' && brackets == 0) {
            return text + 1;
        }
    }
    return nullptr;
}

// After the '<' of a start tag: its name, its attributes with their quoted
// values, and "/>" or ">". *empty tells which. Null where the parser would
// stop with an error.
const char *SkipStartTag(const char *text, int *empty)
{
    const char *name = text;
    while (IsNameChar(*text)) ++text;
    if (text == name) return nullptr;
    text = SkipSpace(text);
    while (IsAttributeNameChar(*text)) {
        while (IsAttributeNameChar(*text)) ++text;
        text = SkipSpace(text);
        if (*text != '=') return nullptr;
        text = SkipSpace(text + 1);
        if (*text != '"' && *text != '\'') return nullptr;
        const char *close = strchr(text + 1, *text);
        if (!close) return nullptr;
        text = SkipSpace(close + 1);
    }
    if (*text == '>') {
        *empty = 0;
        return text + 1;
    }
    if (text[0] == '/' && text[1] == '>') {
        *empty = 1;
        return text + 2;
    }
    return nullptr;
}

}  // namespace

int XmlNestingWithin(const char *text, size_t limit)
{
    if (!text) return 0;
    size_t depth = 0;
    for (const char *p = strchr(text, '<'); p; p = strchr(p, '<')) {
        ++p;
        if (*p == '/') {
            if (depth == 0) return 0;
            --depth;
            p = strchr(p, '>');
        } else if (*p == '?') {
            p = SkipPast(p + 1, "?>");
        } else if (strncmp(p, "!--", 3) == 0) {
            p = SkipPast(p + 3, "-->");
        } else if (strncmp(p, "![CDATA[", 8) == 0) {
            p = SkipPast(p + 8, "]]>");
        } else if (strncmp(p, "!DOCTYPE", 8) == 0 && IsSpace(p[8])) {
            p = SkipDoctype(p + 9);
        } else if (*p == '!') {
            p = strchr(p, '>');
        } else {
            int empty = 0;
            p = SkipStartTag(p, &empty);
            if (p && !empty && ++depth > limit) return 0;
        }
        if (!p) return 0;
    }
    return 1;
}

}  // namespace standin
