// How settings that went in are matched with those that came out.
#include "roundtrip_table.h"

#include <gtest/gtest.h>

namespace convertapi_cli {
namespace {

struct CompareCase {
    const char *name;
    std::vector<TicketFeature> in;
    std::vector<TicketFeature> out;
    std::vector<RowState> states;  // of the rows, in order
    bool preserved;
};

// Named in test output by its name, not by its bytes.
void PrintTo(const CompareCase &value, std::ostream *out) { *out << value.name; }

class CompareFeaturesTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareFeaturesTest, MatchesBySectionAndName)
{
    const std::vector<RoundTripRow> rows = CompareFeatures(GetParam().in, GetParam().out);
    ASSERT_EQ(rows.size(), GetParam().states.size());
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].state, GetParam().states[i]) << i;
    EXPECT_EQ(AllPreserved(rows), GetParam().preserved);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareFeaturesTest,
    ::testing::Values(
        CompareCase{"Same", {{"Printing", "Duplex", "LongEdge"}}, {{"Printing", "Duplex", "LongEdge"}},
                    {RowState::Preserved}, true},
        // The registry that carries the names compares them ignoring case; values must match exactly.
        CompareCase{"NameCase", {{"Printing", "Duplex", "LongEdge"}}, {{"Printing", "DUPLEX", "LongEdge"}},
                    {RowState::Preserved}, true},
        CompareCase{"ValueCase", {{"Printing", "Duplex", "LongEdge"}}, {{"Printing", "Duplex", "longedge"}},
                    {RowState::Changed}, false},
        CompareCase{"OtherSection", {{"Printing", "Duplex", "LongEdge"}}, {{"Physical", "Duplex", "LongEdge"}},
                    {RowState::Lost, RowState::Added}, false},
        CompareCase{"OnlyAdded", {}, {{"Printing", "Copies", "1"}}, {RowState::Added}, true},
        // Printing rows first, each section in the order read; added rows after the ones that went in.
        CompareCase{"Order",
                    {{"Physical", "Tray3", "Present"}, {"Printing", "Duplex", "LongEdge"}},
                    {{"Printing", "Copies", "1"}, {"Physical", "Tray3", "Present"}, {"Printing", "Duplex", "None"}},
                    {RowState::Changed, RowState::Added, RowState::Preserved}, false}),
    [](const ::testing::TestParamInfo<CompareCase> &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace convertapi_cli
