// Nested tickets of a given number of features, in the stand-in ticket
// library's XML format (docs/ticket-format.md), and the same tree in memory so
// that the floor can replay the calls the library makes for it.
#pragma once

#include "bench/bench_text.h"

#include <cstddef>
#include <vector>

namespace bench {

struct Feature {
    WString name;
    WString value;
    std::vector<Feature> children;
};

struct Ticket {
    std::vector<Feature> printing;
    std::vector<Feature> physical;
    size_t features = 0;
    int depth = 0;  // feature levels below a section
};

// `features` features in groups, split between the Printing and the Physical
// section. A group is a top-level feature with a chain of `depth` - 1 nested
// features below it and two more leaves beside the chain, so every level of a
// group's walk stays short (the client's joined context paths grow with the
// number of siblings below the top level). Names are unique in the ticket, so
// every feature becomes a registry value of its own; none is a DEVMODE item.
Ticket MakeTicket(size_t features, int depth);

// Writes the ticket as UTF-8 XML; false when the file cannot be written.
bool WriteTicketFile(const Ticket &ticket, const std::string &path);

// Features in the ticket, counted from the tree.
size_t CountFeatures(const Ticket &ticket);

}  // namespace bench
