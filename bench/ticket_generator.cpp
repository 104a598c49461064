#include "bench/ticket_generator.h"

#include <cstdio>

namespace bench {
namespace {

std::string Format(const char *format, unsigned a, unsigned b)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, a, b);
    return text;
}

Feature MakeFeature(const std::string &name, unsigned serial)
{
    Feature feature;
    feature.name = Widen(name);
    feature.value = Widen(Format("value-%05u-%u", serial, serial % 7));
    return feature;
}

// One group: `size` features, the top one first, a chain below it as deep as
// allowed and the rest as leaves beside the chain.
Feature MakeGroup(const char *prefix, unsigned group, size_t size, int depth, unsigned *serial)
{
    const std::string top = prefix + Format("%03u", group, 0);
    Feature root = MakeFeature(top, (*serial)++);
    size_t made = 1;
    Feature *link = &root;
    for (int level = 2; level <= depth && made < size; ++level, ++made) {
        link->children.push_back(MakeFeature(top + Format("_%u", static_cast<unsigned>(level), 0), (*serial)++));
        link = &link->children.back();
    }
    for (unsigned leaf = 1; made < size; ++leaf, ++made)
        root.children.push_back(MakeFeature(top + Format("_x%u", leaf, 0), (*serial)++));
    return root;
}

void AppendXml(std::string &xml, const Feature &feature, int indent)
{
    xml.append(static_cast<size_t>(indent) * 2, ' ');
    xml += "<Feature name=\"" + Narrow(feature.name) + "\" value=\"" + Narrow(feature.value) + "\"";
    if (feature.children.empty()) {
        xml += "/>\n";
        return;
    }
    xml += ">\n";
    for (const Feature &child : feature.children) AppendXml(xml, child, indent + 1);
    xml.append(static_cast<size_t>(indent) * 2, ' ');
    xml += "</Feature>\n";
}

size_t Count(const std::vector<Feature> &features)
{
    size_t count = 0;
    for (const Feature &feature : features) count += 1 + Count(feature.children);
    return count;
}

}  // namespace

Ticket MakeTicket(size_t features, int depth)
{
    Ticket ticket;
    ticket.depth = depth < 1 ? 1 : depth;
    const size_t groupSize = static_cast<size_t>(ticket.depth) + 2;
    unsigned serial = 0;
    unsigned group = 0;
    for (size_t made = 0; made < features; ++group) {
        const size_t size = features - made < groupSize ? features - made : groupSize;
        // Alternate sections, so both are walked and hold half of the values each.
        if (group % 2 == 0)
            ticket.printing.push_back(MakeGroup("Pr", group, size, ticket.depth, &serial));
        else
            ticket.physical.push_back(MakeGroup("Ph", group, size, ticket.depth, &serial));
        made += size;
    }
    ticket.features = CountFeatures(ticket);
    return ticket;
}

bool WriteTicketFile(const Ticket &ticket, const std::string &path)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Ticket version=\"1\">\n";
    const struct {
        const char *name;
        const std::vector<Feature> *features;
    } sections[] = {{"Printing", &ticket.printing}, {"Physical", &ticket.physical}};
    for (const auto &section : sections) {
        xml += std::string("  <Section name=\"") + section.name + "\">\n";
        for (const Feature &feature : *section.features) AppendXml(xml, feature, 2);
        xml += "  </Section>\n";
    }
    xml += "</Ticket>\n";

    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(xml.data(), 1, xml.size(), file) == xml.size();
    written = std::fclose(file) == 0 && written;
    return written;
}

size_t CountFeatures(const Ticket &ticket) { return Count(ticket.printing) + Count(ticket.physical); }

}  // namespace bench
