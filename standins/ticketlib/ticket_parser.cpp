#include "standins/ticketlib/ticket_parser.h"

#include "standins/common/file_io.h"
#include "standins/common/utf.h"
#include "standins/ticketlib/xml_depth.h"

#include <csetjmp>
#include <cstring>
#include <new>

// The parser reports errors through this handler instead of exceptions; it
// must not return, so it jumps back to ParseXml.
#define RAPIDXML_NO_EXCEPTIONS
#include <rapidxml/rapidxml.hpp>

namespace standin {
namespace {

typedef rapidxml::xml_document<char> XmlDocument;
typedef rapidxml::xml_node<char> XmlNode;
typedef rapidxml::xml_attribute<char> XmlAttribute;

constexpr int kParseFlags = rapidxml::parse_validate_closing_tags | rapidxml::parse_no_data_nodes;

thread_local std::jmp_buf *t_parseFailure = nullptr;

void *AllocatePool(std::size_t size)
{
    void *memory = ::operator new(size, std::nothrow);
    if (!memory) std::longjmp(*t_parseFailure, 1);
    return memory;
}

void FreePool(void *memory) { ::operator delete(memory); }

// Only the parser's own frames lie between setjmp and longjmp, and none of
// them owns anything: the document frees its pool when it is destroyed.
int ParseXml(XmlDocument *document, char *text)
{
    std::jmp_buf failure;
    std::jmp_buf *const outer = t_parseFailure;
    t_parseFailure = &failure;
    if (setjmp(failure) != 0) {
        t_parseFailure = outer;
        return 0;
    }
    document->set_allocator(AllocatePool, FreePool);
    document->parse<kParseFlags>(text);
    t_parseFailure = outer;
    return 1;
}

int IsElement(const XmlNode *node, const char *name)
{
    return node->type() == rapidxml::node_element && node->name_size() == strlen(name) &&
           memcmp(node->name(), name, node->name_size()) == 0;
}

// The attribute `name` of `element` in *out (null when absent); 0 when the
// attribute is given twice.
int FindAttribute(const XmlNode *element, const char *name, const XmlAttribute **out)
{
    const XmlAttribute *attribute = element->first_attribute(name);
    *out = attribute;
    return !attribute || !attribute->next_attribute(name);
}

// Converts an attribute's text; U+0000 (from "&#0;") is refused because every
// text leaves the library zero-terminated.
int ConvertText(const XmlAttribute *attribute, OwnedArray<WCHAR> *out)
{
    if (!Utf8ToUtf16(attribute->value(), attribute->value_size(), out)) return 0;
    for (size_t i = 0; i < out->Size(); ++i) {
        if (out->Data()[i] == 0) return 0;
    }
    return 1;
}

int ConvertName(const XmlAttribute *attribute, OwnedArray<WCHAR> *out)
{
    if (!attribute || !ConvertText(attribute, out)) return 0;
    if (out->Size() == 0 || out->Size() > kMaxNameLength) return 0;
    for (size_t i = 0; i < out->Size(); ++i) {
        if (out->Data()[i] == TEXT('/') || out->Data()[i] == TEXT(';')) return 0;
    }
    return 1;
}

// Fills `node` with the `childElement` elements below `element` (Section
// below the root, Feature below a section or feature) and their subtrees.
// The recursion is bounded by the nesting check done before parsing.
int BuildChildren(const XmlNode *element, const char *childElement, TicketNode *node)
{
    size_t count = 0;
    for (const XmlNode *child = element->first_node(); child; child = child->next_sibling()) {
        if (IsElement(child, childElement)) ++count;
    }
    if (!node->AllocateChildren(count)) return 0;
    size_t index = 0;
    for (const XmlNode *child = element->first_node(); child; child = child->next_sibling()) {
        if (!IsElement(child, childElement)) continue;
        TicketNode *target = &node->children[index++];
        target->kind = node->kind == TicketNode::kRoot ? TicketNode::kSection : TicketNode::kFeature;
        const XmlAttribute *name;
        if (!FindAttribute(child, "name", &name) || !ConvertName(name, &target->name)) return 0;
        if (target->kind == TicketNode::kFeature) {
            const XmlAttribute *value;
            if (!FindAttribute(child, "value", &value)) return 0;
            if (value ? !ConvertText(value, &target->value) : !target->value.Allocate(0)) return 0;
        }
        if (!BuildChildren(child, "Feature", target)) return 0;
    }
    return node->IndexChildren();
}

}  // namespace
}  // namespace standin

namespace rapidxml {
void parse_error_handler(const char *, void *) { std::longjmp(*standin::t_parseFailure, 1); }
}  // namespace rapidxml

namespace standin {

int ParseTicket(char *text, size_t size, TicketNode *root)
{
    if (!text || !root || text[size] != 0) return 0;
    // A zero byte would end the parser's view of the file early.
    if (memchr(text, 0, size)) return 0;
    if (!XmlNestingWithin(text, kMaxElementDepth)) return 0;

    // The document carries its first memory block inside itself: too big
    // for the stack.
    XmlDocument *document = new (std::nothrow) XmlDocument;
    if (!document) return 0;
    int ok = ParseXml(document, text);
    const XmlNode *ticket = nullptr;
    if (ok) {
        for (const XmlNode *node = document->first_node(); node; node = node->next_sibling()) {
            if (node->type() != rapidxml::node_element) continue;
            if (ticket) ok = 0;  // a second root element
            ticket = node;
        }
    }
    const XmlAttribute *version = nullptr;
    ok = ok && ticket && IsElement(ticket, "Ticket") && FindAttribute(ticket, "version", &version) && version &&
         version->value_size() == 1 && version->value()[0] == '1';
    root->kind = TicketNode::kRoot;
    ok = ok && BuildChildren(ticket, "Section", root);
    delete document;
    return ok;
}

int LoadTicketFile(const WCHAR *path, TicketNode *root)
{
    OwnedArray<char> content;
    if (!ReadWholeFile(path, kMaxTicketBytes, &content)) return 0;
    // An empty file gives no buffer to parse in, but it is malformed anyway.
    if (!content.Data()) return 0;
    return ParseTicket(content.Data(), content.Size(), root);
}

}  // namespace standin
