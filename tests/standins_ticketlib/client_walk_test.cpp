// The library driven exactly as its client drives it: BeginTicket, the
// recursive walk of both sections with Navigate, LoadFeatureList,
// NextListToken, GetValue, PushContext and PopContext (joined paths, buffer
// preparation and length limits included), and EndTicket. Every feature must
// be visited once, depth first, with its value.
#include "ticket_test.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// The client's walk state and operations, written from its algorithm.
class SimulatedClient {
public:
    struct Visit {
        std::string section, name, value;
        bool operator==(const Visit &other) const
        {
            return section == other.section && name == other.name && value == other.value;
        }
    };

    int Walk(const WideString &ticketPath)
    {
        if (DllRegisterServer() < 0) return 0;
        if (!ZELStartConfig(ticketPath.c_str(), 4, TEXT("zel_driver"), 2)) return 0;
        if (!TransferSection(TEXT("Printing"), "Printing")) return 0;
        if (!TransferSection(TEXT("Physical"), "Physical")) return 0;
        ZELEndConfig();
        return DllUnregisterServer() >= 0;
    }

    std::vector<Visit> visits;
    size_t StackSize() const { return stack_.size(); }

private:
    typedef std::unique_ptr<WideString> OwnedString;  // null: absent
    typedef std::unique_ptr<std::vector<WCHAR>> OwnedList;
    struct Frame {
        OwnedString path;
        OwnedList list;
    };

    static constexpr size_t kStoredLimit = 260;
    static constexpr size_t kJoinCapacity = 256;
    static constexpr size_t kListCapacity = 2048;
    static constexpr size_t kItemCapacity = 256;

    int TransferSection(const WCHAR *contextName, const std::string &section)
    {
        if (!Navigate(contextName)) return 0;
        if (!LoadFeatureList(nullptr)) return 0;
        for (;;) {
            WCHAR token[kItemCapacity] = {};
            WCHAR value[kItemCapacity] = {};
            if (!NextListToken(token, kItemCapacity)) break;
            if (!GetValue(token, value, kItemCapacity)) break;
            visits.push_back({section, Narrow(token), Narrow(value)});
            if (!PushContext()) break;
            if (!TransferSection(token, section)) break;
            if (!PopContext()) break;
        }
        return 1;
    }

    int Navigate(const WCHAR *path)
    {
        if (!path) return 0;
        if (!ZELSetContext(path)) return 0;
        const WideString copy(path);
        if (copy.size() >= kStoredLimit) return 0;
        contextPath_.reset(new WideString(copy));
        return 1;
    }

    int LoadFeatureList(const void *parent)
    {
        OwnedList list(new std::vector<WCHAR>(PreparedBuffer(kListCapacity)));
        featureList_.reset();
        if (!ZELEnumFeatures(parent, list->data())) return 0;
        featureList_ = std::move(list);
        return 1;
    }

    int NextListToken(WCHAR *token, size_t capacity)
    {
        if (!featureList_ || !token) return 0;
        Prepare(token, capacity);
        return ZELEnumListToken(token, featureList_->data()) != 0;
    }

    int GetValue(const WCHAR *name, WCHAR *value, size_t capacity)
    {
        if (!name || !value) return 0;
        Prepare(value, capacity);
        return ZELGet(name, value) != 0;
    }

    int PushContext()
    {
        Frame frame;
        if (!stack_.empty() && stack_.back().path) {
            const WideString &top = *stack_.back().path;
            if (!contextPath_ || top.size() >= kJoinCapacity || contextPath_->size() >= kJoinCapacity) return 0;
            const WideString joined = top + TEXT("/") + *contextPath_;
            if (joined.size() >= kJoinCapacity) return 0;
            frame.path.reset(new WideString(joined));
            contextPath_.reset();
        } else {
            frame.path = std::move(contextPath_);
        }
        frame.list = std::move(featureList_);
        stack_.push_back(std::move(frame));
        return 1;
    }

    int PopContext()
    {
        contextPath_.reset();
        featureList_.reset();
        if (stack_.empty()) return 0;
        contextPath_ = std::move(stack_.back().path);
        featureList_ = std::move(stack_.back().list);
        stack_.pop_back();
        if (!contextPath_) return 0;
        const WideString restored = *contextPath_;
        return Navigate(restored.c_str());
    }

    OwnedString contextPath_;
    OwnedList featureList_;
    std::vector<Frame> stack_;
};

void PrintTo(const SimulatedClient::Visit &visit, std::ostream *out)
{
    *out << visit.section << ":" << visit.name << "=" << visit.value;
}

std::string Feature(const std::string &name, const std::string &value, const std::string &children = "")
{
    return "<Feature name=\"" + name + "\" value=\"" + value + "\">" + children + "</Feature>";
}

class ClientWalkTest : public TicketTest {
protected:
    std::vector<SimulatedClient::Visit> Walk(const std::string &xml, int expectedResult = 1)
    {
        SimulatedClient client;
        EXPECT_EQ(client.Walk(WriteTempFile("walk.xml", xml)), expectedResult);
        if (expectedResult) {
            EXPECT_EQ(client.StackSize(), 0u) << "a PopContext failed during the walk";
        }
        return client.visits;
    }
};

TEST_F(ClientWalkTest, VisitsEveryFeatureOfANestedTicket)
{
    // Several features at every level, and later siblings with features of
    // their own: their saved paths repeat their prefixes.
    const std::string xml = TicketXml(
        "<Section name=\"Printing\">" +
        Feature("Duplex", "LongEdge",
                Feature("DuplexEdge", "Left", Feature("EdgeMargin", "5") + Feature("EdgeUnit", "mm")) +
                    Feature("DuplexMode", "Auto",
                            Feature("ModeDelay", "2") +
                                Feature("ModeSpeed", "Fast", Feature("SpeedLow", "1") + Feature("SpeedHigh", "9")) +
                                Feature("ModeQuiet", "Off")) +
                    Feature("DuplexBinding", "Book", Feature("BindingGutter", "10"))) +
        Feature("MediaType", "Plain") +
        Feature("Watermarks", "On",
                Feature("WMText", "Draft") + Feature("WMFont", "Serif", Feature("WMFontSize", "48") +
                                                                          Feature("WMFontStyle", "Bold"))) +
        "</Section><Section name=\"Physical\">" + Feature("Duplex", "Installed", Feature("DuplexUnit", "Model2")) +
        Feature("Tray", "3", Feature("Tray1", "A4") + Feature("Tray2", "Letter")) + "</Section>");
    const std::vector<SimulatedClient::Visit> expected = {
        {"Printing", "Duplex", "LongEdge"},     {"Printing", "DuplexEdge", "Left"},
        {"Printing", "EdgeMargin", "5"},        {"Printing", "EdgeUnit", "mm"},
        {"Printing", "DuplexMode", "Auto"},     {"Printing", "ModeDelay", "2"},
        {"Printing", "ModeSpeed", "Fast"},      {"Printing", "SpeedLow", "1"},
        {"Printing", "SpeedHigh", "9"},         {"Printing", "ModeQuiet", "Off"},
        {"Printing", "DuplexBinding", "Book"},  {"Printing", "BindingGutter", "10"},
        {"Printing", "MediaType", "Plain"},     {"Printing", "Watermarks", "On"},
        {"Printing", "WMText", "Draft"},        {"Printing", "WMFont", "Serif"},
        {"Printing", "WMFontSize", "48"},       {"Printing", "WMFontStyle", "Bold"},
        {"Physical", "Duplex", "Installed"},    {"Physical", "DuplexUnit", "Model2"},
        {"Physical", "Tray", "3"},              {"Physical", "Tray1", "A4"},
        {"Physical", "Tray2", "Letter"},
    };
    EXPECT_EQ(Walk(xml), expected);
}

TEST_F(ClientWalkTest, FeaturesNamedLikeSectionsOrTheirParentsAreWalkedToo)
{
    const std::string xml = TicketXml(
        "<Section name=\"Printing\">" +
        Feature("Printing", "p1", Feature("A", "p2") + Feature("Printing", "p3", Feature("A", "p4") + Feature("B", "p5"))) +
        Feature("A", "p6", Feature("X", "p7") + Feature("Y", "p8") + Feature("V", "p8b")) +
        Feature("Physical", "p9", Feature("Z", "p10") + Feature("W", "p11")) +
        "</Section><Section name=\"Physical\">" + Feature("Printing", "h1", Feature("A", "h2") + Feature("B", "h3")) +
        "</Section>");
    const std::vector<SimulatedClient::Visit> expected = {
        {"Printing", "Printing", "p1"}, {"Printing", "A", "p2"},        {"Printing", "Printing", "p3"},
        {"Printing", "A", "p4"},        {"Printing", "B", "p5"},        {"Printing", "A", "p6"},
        {"Printing", "X", "p7"},        {"Printing", "Y", "p8"},        {"Printing", "V", "p8b"},
        {"Printing", "Physical", "p9"},
        {"Printing", "Z", "p10"},       {"Printing", "W", "p11"},       {"Physical", "Printing", "h1"},
        {"Physical", "A", "h2"},        {"Physical", "B", "h3"},
    };
    EXPECT_EQ(Walk(xml), expected);
}

TEST_F(ClientWalkTest, EmptySectionsAreEnteredAndYieldNothing)
{
    EXPECT_EQ(Walk(TicketXml("<Section name=\"Printing\"/><Section name=\"Physical\">" + Feature("Tray", "3") +
                             "</Section>")),
              (std::vector<SimulatedClient::Visit>{{"Physical", "Tray", "3"}}));
    EXPECT_TRUE(Walk(TicketXml("<Section name=\"Printing\"/><Section name=\"Physical\"/>")).empty());
}

TEST_F(ClientWalkTest, MissingSectionCannotBeEntered)
{
    EXPECT_TRUE(Walk(TicketXml("<Section name=\"Physical\">" + Feature("Tray", "3") + "</Section>"), 0).empty());
}

}  // namespace
