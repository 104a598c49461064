// Opening tickets: what the format accepts, each kind of malformed ticket, and
// files that cannot be read. A ticket that is refused leaves nothing open.
#include "ticket_test.h"

#include <ostream>
#include <string>

namespace {

std::string Nested(size_t featureLevels)
{
    std::string xml;
    for (size_t i = 0; i < featureLevels; ++i) xml += "<Feature name=\"F" + std::to_string(i) + "\">";
    for (size_t i = 0; i < featureLevels; ++i) xml += "</Feature>";
    return TicketXml("<Section name=\"Printing\">" + xml + "</Section>");
}

struct AcceptedCase {
    const char *what;
    std::string xml;
    const char *context;   // set before reading
    const char *name;      // read with ZELGet
    const char *expected;  // its value
};

void PrintTo(const AcceptedCase &c, std::ostream *out) { *out << c.what; }

class AcceptedTicket : public TicketTest, public ::testing::WithParamInterface<AcceptedCase> {};

TEST_P(AcceptedTicket, OpensAndReads)
{
    const AcceptedCase &c = GetParam();
    ASSERT_EQ(Open(c.xml), 1) << c.what;
    ASSERT_EQ(ZELSetContext(Widen(c.context).c_str()), 1) << c.what;
    EXPECT_EQ(Value(Widen(c.name).c_str()), c.expected) << c.what;
}

const std::string kName255(255, 'n');

INSTANTIATE_TEST_SUITE_P(
    Format, AcceptedTicket,
    ::testing::Values(
        AcceptedCase{"plain", TicketXml("<Section name=\"Printing\"><Feature name=\"Duplex\" value=\"LongEdge\"/></Section>"),
                     "Printing", "Duplex", "LongEdge"},
        AcceptedCase{"absent value reads as empty",
                     TicketXml("<Section name=\"Printing\"><Feature name=\"Duplex\"/></Section>"), "Printing", "Duplex", ""},
        AcceptedCase{"byte order mark, no declaration, single quotes",
                     "\xEF\xBB\xBF<Ticket version='1'><Section name='Printing'><Feature name='A' value='b'/></Section></Ticket>",
                     "Printing", "A", "b"},
        AcceptedCase{"entities and non-ASCII text",
                     TicketXml("<Section name=\"Printing\"><Feature name=\"Caf\xC3\xA9\" "
                               "value=\"&lt;&amp;&quot;&#x263A;&#128512;\"/></Section>"),
                     "Printing", "Caf\xC3\xA9", "<&\"\xE2\x98\xBA\xF0\x9F\x98\x80"},
        AcceptedCase{"other elements, attributes, comments and text are ignored",
                     TicketXml("<!-- c --><Note>text</Note><Section name=\"Printing\" extra=\"1\">words"
                               "<Feature name=\"A\" value=\"1\" unit=\"mm\"><Option name=\"x\"/></Feature>"
                               "<![CDATA[<Feature name=\"B\">]]><?pi x?></Section>"),
                     "Printing", "A", "1"},
        AcceptedCase{"same name in different places and cases",
                     TicketXml("<Section name=\"Printing\"><Feature name=\"Duplex\" value=\"1\">"
                               "<Feature name=\"Duplex\" value=\"2\"/></Feature><Feature name=\"duplex\" value=\"3\"/>"
                               "</Section><Section name=\"Physical\"><Feature name=\"Duplex\" value=\"4\"/></Section>"),
                     "Printing/Duplex", "Duplex", "2"},
        AcceptedCase{"name of 255 characters",
                     TicketXml("<Section name=\"Printing\"><Feature name=\"" + kName255 + "\" value=\"v\"/></Section>"),
                     "Printing", kName255.c_str(), "v"},
        AcceptedCase{"nesting at the limit (256 elements)", Nested(254), "Printing/F0/F1/F2", "F3", ""}));

TEST_F(TicketTest, TicketWithoutSectionsOpensAndHasNone)
{
    ASSERT_EQ(Open(TicketXml("")), 1);
    EXPECT_EQ(ZELSetContext(TEXT("Printing")), 0);
    EXPECT_EQ(ZELEndConfig(), 1);
}

struct RefusedCase {
    const char *what;
    std::string content;
};

void PrintTo(const RefusedCase &c, std::ostream *out) { *out << c.what; }

class RefusedTicket : public TicketTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedTicket, AnswersZeroAndLeavesNothingOpen)
{
    const RefusedCase &c = GetParam();
    // A good ticket is open first: a failed open must not leave it open either.
    ASSERT_EQ(Open(TicketXml("<Section name=\"Printing\"/>"), "good.xml"), 1);
    EXPECT_EQ(Open(c.content), 0) << c.what;
    EXPECT_EQ(ZELSetContext(TEXT("Printing")), 0) << c.what;
    EXPECT_EQ(ZELEndConfig(), 0) << c.what;
}

std::string Section(const std::string &features) { return TicketXml("<Section name=\"Printing\">" + features + "</Section>"); }

INSTANTIATE_TEST_SUITE_P(
    Malformed, RefusedTicket,
    ::testing::Values(
        RefusedCase{"empty file", ""}, RefusedCase{"not XML", "hello"},
        RefusedCase{"unclosed element", "<Ticket version=\"1\"><Section name=\"Printing\">"},
        RefusedCase{"mismatched closing tag", "<Ticket version=\"1\"><Section name=\"Printing\"></Sections></Ticket>"},
        RefusedCase{"unquoted attribute", "<Ticket version=1></Ticket>"},
        RefusedCase{"wrong root element", "<Tickets version=\"1\"/>"},
        RefusedCase{"missing version", "<Ticket/>"}, RefusedCase{"other version", "<Ticket version=\"2\"/>"},
        RefusedCase{"two root elements", "<Ticket version=\"1\"/><Ticket version=\"1\"/>"},
        RefusedCase{"section without name", TicketXml("<Section/>")},
        RefusedCase{"duplicate section", TicketXml("<Section name=\"Printing\"/><Section name=\"Printing\"/>")},
        RefusedCase{"feature without name", Section("<Feature value=\"1\"/>")},
        RefusedCase{"empty name", Section("<Feature name=\"\"/>")},
        RefusedCase{"name with a slash", Section("<Feature name=\"a/b\"/>")},
        RefusedCase{"name with a semicolon", Section("<Feature name=\"a;b\"/>")},
        RefusedCase{"name of 256 characters", Section("<Feature name=\"" + std::string(256, 'n') + "\"/>")},
        RefusedCase{"duplicate sibling", Section("<Feature name=\"A\"/><Feature name=\"A\"/>")},
        RefusedCase{"duplicate nested sibling",
                    Section("<Feature name=\"A\"><Feature name=\"B\"/><Feature name=\"B\"/></Feature>")},
        RefusedCase{"name given twice", Section("<Feature name=\"A\" name=\"B\"/>")},
        RefusedCase{"value given twice", Section("<Feature name=\"A\" value=\"1\" value=\"2\"/>")},
        RefusedCase{"invalid UTF-8", Section("<Feature name=\"A\" value=\"\xC3\x28\"/>")},
        RefusedCase{"encoded surrogate", Section("<Feature name=\"A\" value=\"&#xD800;\"/>")},
        RefusedCase{"character zero", Section("<Feature name=\"A\" value=\"&#0;\"/>")},
        RefusedCase{"zero byte in the file", Section("<Feature name=\"A\"/>") + std::string(1, '\0')},
        RefusedCase{"nesting over the limit (257 elements)", Nested(255)},
        RefusedCase{"nesting far over the limit", Nested(200000)}));

TEST_F(TicketTest, SizeLimitIsSixteenMebibytes)
{
    const size_t limit = 16u * 1024u * 1024u;
    const std::string head = "<Ticket version=\"1\"><!--";
    const std::string tail = "--><Section name=\"Printing\"/></Ticket>";
    const std::string fitting = head + std::string(limit - head.size() - tail.size(), 'x') + tail;
    ASSERT_EQ(fitting.size(), limit);
    EXPECT_EQ(Open(fitting), 1);
    EXPECT_EQ(Open(head + std::string(limit - head.size() - tail.size() + 1, 'x') + tail), 0);
    EXPECT_EQ(ZELEndConfig(), 0);
}

TEST_F(TicketTest, UnreadableFilesAnswerZero)
{
    EXPECT_EQ(ZELStartConfig(TempPath("missing.xml").c_str(), 4, TEXT("zel_driver"), 2), 0);
    EXPECT_EQ(ZELStartConfig(Widen(::testing::TempDir()).c_str(), 4, TEXT("zel_driver"), 2), 0);
    EXPECT_EQ(ZELStartConfig(nullptr, 4, TEXT("zel_driver"), 2), 0);
    EXPECT_EQ(ZELEndConfig(), 0);
}

TEST_F(TicketTest, SecondStartReplacesTheOpenTicket)
{
    ASSERT_EQ(Open(TicketXml("<Section name=\"Printing\"><Feature name=\"A\" value=\"first\"/></Section>"), "a.xml"), 1);
    ASSERT_EQ(Open(TicketXml("<Section name=\"Printing\"><Feature name=\"B\" value=\"second\"/></Section>"), "b.xml"), 1);
    ASSERT_EQ(ZELSetContext(TEXT("Printing")), 1);
    EXPECT_EQ(List(), "B");
    EXPECT_EQ(ZELEndConfig(), 1);
    EXPECT_EQ(ZELEndConfig(), 0);
}

TEST_F(TicketTest, OpensAPathWithNonAsciiCharacters)
{
    EXPECT_EQ(Open(TicketXml(""), "\xE2\x9C\x93 t\xC3\xAF" "cket.xml"), 1);
}

TEST_F(TicketTest, RegistrationAnswersSuccessAndIsCounted)
{
    StandinTicketLibResetCallCounts();
    EXPECT_EQ(DllRegisterServer(), S_OK);
    EXPECT_EQ(DllRegisterServer(), S_OK);
    EXPECT_EQ(DllUnregisterServer(), S_OK);
    EXPECT_EQ(StandinTicketLibCallCount("DllRegisterServer"), 2);
    EXPECT_EQ(StandinTicketLibCallCount("DllUnregisterServer"), 1);
    EXPECT_EQ(StandinTicketLibCallCount("NoSuchEntryPoint"), 0);
    EXPECT_EQ(StandinTicketLibCallCount(nullptr), 0);
}

}  // namespace
