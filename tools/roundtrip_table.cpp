#include "roundtrip_table.h"

#include <algorithm>

namespace convertapi_cli {
namespace {

const char *StateText(RowState state)
{
    switch (state) {
    case RowState::Preserved: return "yes";
    case RowState::Changed: return "NO";
    case RowState::Lost: return "NO";
    case RowState::Added: return "added";
    }
    return "";
}

bool SameSetting(const TicketFeature &a, const TicketFeature &b)
{
    return a.section == b.section && EqualNoCase(a.name, b.name);
}

// Display width of UTF-8 text: one column per character.
size_t Columns(const std::string &text)
{
    size_t columns = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++columns;
    return columns;
}

std::string Cell(const std::string &text, size_t width)
{
    const size_t columns = Columns(text);
    return columns >= width ? text : text + std::string(width - columns, ' ');
}

}  // namespace

std::vector<RoundTripRow> CompareFeatures(const std::vector<TicketFeature> &in,
                                          const std::vector<TicketFeature> &out)
{
    std::vector<RoundTripRow> rows;
    std::vector<bool> matched(out.size(), false);
    for (const TicketFeature &feature : in) {
        RoundTripRow row = {feature.section, feature.name, feature.value, "-", RowState::Lost};
        for (size_t i = 0; i < out.size(); ++i) {
            if (matched[i] || !SameSetting(feature, out[i])) continue;
            matched[i] = true;
            row.out = out[i].value;
            row.state = out[i].value == feature.value ? RowState::Preserved : RowState::Changed;
            break;
        }
        rows.push_back(row);
    }
    for (size_t i = 0; i < out.size(); ++i)
        if (!matched[i]) rows.push_back({out[i].section, out[i].name, "-", out[i].value, RowState::Added});
    // Printing before Physical, each in the order it was read.
    std::stable_sort(rows.begin(), rows.end(), [](const RoundTripRow &a, const RoundTripRow &b) {
        return a.section != b.section && a.section == "Printing";
    });
    return rows;
}

bool AllPreserved(const std::vector<RoundTripRow> &rows)
{
    for (const RoundTripRow &row : rows)
        if (row.state == RowState::Changed || row.state == RowState::Lost) return false;
    return true;
}

void PrintRoundTripTable(const std::vector<RoundTripRow> &rows, std::ostream &out)
{
    const std::string headers[] = {"section", "feature", "in", "out", "ok"};
    size_t widths[4] = {headers[0].size(), headers[1].size(), headers[2].size(), headers[3].size()};
    for (const RoundTripRow &row : rows) {
        widths[0] = std::max(widths[0], Columns(row.section));
        widths[1] = std::max(widths[1], Columns(row.name));
        widths[2] = std::max(widths[2], Columns(row.in));
        widths[3] = std::max(widths[3], Columns(row.out));
    }
    out << Cell(headers[0], widths[0] + 2) << Cell(headers[1], widths[1] + 2) << Cell(headers[2], widths[2] + 2)
        << Cell(headers[3], widths[3] + 2) << headers[4] << "\n";
    out << std::string(widths[0], '-') << "  " << std::string(widths[1], '-') << "  " << std::string(widths[2], '-')
        << "  " << std::string(widths[3], '-') << "  " << std::string(5, '-') << "\n";
    size_t counts[4] = {0, 0, 0, 0};
    for (const RoundTripRow &row : rows) {
        out << Cell(row.section, widths[0] + 2) << Cell(row.name, widths[1] + 2) << Cell(row.in, widths[2] + 2)
            << Cell(row.out, widths[3] + 2) << StateText(row.state) << "\n";
        ++counts[static_cast<int>(row.state)];
    }
    const size_t wentIn = counts[0] + counts[1] + counts[2];
    out << "\n" << wentIn << (wentIn == 1 ? " setting" : " settings") << " in: " << counts[0] << " preserved, " << counts[1] << " changed, " << counts[2]
        << " lost";
    if (counts[3]) out << "; " << counts[3] << " more came out (the driver's own settings)";
    out << "\n";
}

}  // namespace convertapi_cli
