// Ticket files that are empty, cut short, not XML, nested too deep or too
// large. A ticket the ticket library cannot open is a ticket that cannot be
// read: ReadTicket answers 17, ConvertTicket does not call the driver, and
// KillConvertAPI leaves nothing behind. Nothing may exhaust the stack.
#include "tests/bad_input/bad_input_support.h"

#include <string>

namespace {

using namespace bad_input;

std::string Nested(const char *open, const char *close, size_t levels)
{
    std::string text;
    text.reserve(levels * (std::string(open).size() + std::string(close).size()));
    for (size_t i = 0; i < levels; ++i) text += open;
    for (size_t i = 0; i < levels; ++i) text += close;
    return text;
}

std::string Ticket(const std::string &printing)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Ticket version=\"1\"><Section name=\"Printing\">" + printing +
           "</Section><Section name=\"Physical\"><Feature name=\"Tray\" value=\"Present\"/></Section></Ticket>\n";
}

std::string ManyFeatures(size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; ++i) text += "<Feature name=\"F" + std::to_string(i) + "\" value=\"v\"/>";
    return text;
}

struct TicketCase {
    const char *what;
    std::string content;
    DWORD expected;  // ReadTicket
};

std::vector<TicketCase> Cases()
{
    const std::string flat = Ticket("<Feature name=\"Orientation\" value=\"Landscape\"/>");
    return {
        {"an empty file", "", ConvertAPITicketNotRead},
        {"a ticket cut short", flat.substr(0, flat.size() / 2), ConvertAPITicketNotRead},
        {"a ticket cut before its last '>'", flat.substr(0, flat.rfind('>')), ConvertAPITicketNotRead},
        {"text that is not XML", "Orientation=Landscape\nDuplex=LongEdge\n", ConvertAPITicketNotRead},
        {"bytes that are not text", std::string("\x00\xFF\xFE<\x01\x80Ticket", 12), ConvertAPITicketNotRead},
        {"XML that is not a ticket", "<?xml version=\"1.0\"?><Settings><Orientation/></Settings>",
         ConvertAPITicketNotRead},
        {"10,000 nested features",
         Ticket(Nested("<Feature name=\"a\" value=\"1\">", "</Feature>", 10000)), ConvertAPITicketNotRead},
        {"10,000 nested elements of another kind", Ticket(Nested("<x>", "</x>", 10000)), ConvertAPITicketNotRead},
        {"10,000 elements never closed", Ticket(Nested("<Feature name=\"a\">", "", 10000)), ConvertAPITicketNotRead},
        {"17 MiB, past the ticket library's limit",
         Ticket("<!--" + std::string(17u << 20, 'c') + "-->"), ConvertAPITicketNotRead},
        {"100,000 features in one section: their list never fits", Ticket(ManyFeatures(100000)),
         ConvertAPITicketNotRead},
        // Read as far as the client's buffers and paths allow.
        {"254 nested features, as deep as the ticket library goes",
         Ticket(Nested("<Feature name=\"a\" value=\"1\">", "</Feature>", 254)), ConvertAPISuccess},
        {"a value of 8 MiB", Ticket("<Feature name=\"Orientation\" value=\"Landscape\"/><Feature name=\"Big\" value=\"" +
                                    std::string(8u << 20, 'v') + "\"/>"),
         ConvertAPISuccess},
    };
}

class TicketFileTest : public BadInputTest {};

TEST_F(TicketFileTest, ReadTicketAnswersWithItsCode)
{
    const WString path = scenario::TempFilePath("bad-ticket.xml");
    for (const TicketCase &c : Cases()) {
        ASSERT_TRUE(WriteTextFile(path, c.content)) << c.what;
        const GUID guid = Initialize();
        EXPECT_EQ(ReadTicket(0, path.c_str(), guid), c.expected) << c.what;
        EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
        EXPECT_EQ(Leftovers(), "") << c.what;
    }
    RemoveFile(path);
}

TEST_F(TicketFileTest, ConvertTicketCallsTheDriverOnlyForATicketItCouldRead)
{
    const WString path = scenario::TempFilePath("bad-ticket-self-contained.xml");
    for (const TicketCase &c : Cases()) {
        ASSERT_TRUE(WriteTextFile(path, c.content)) << c.what;
        scenario::Driver().Reset();
        ConvertTicket(scenario::PrinterName(), path.c_str(), &devmode.pub, scenario::TicketLibraryPath(), 0);
        EXPECT_EQ(scenario::Driver().CallCount() > 0, c.expected == ConvertAPISuccess) << c.what;
        EXPECT_EQ(Leftovers(), "") << c.what;
    }
    RemoveFile(path);
}

// The walk goes down until the saved context path would reach 256
// characters, and what it read up to there stands.
TEST_F(TicketFileTest, ADeepTicketIsWalkedAsFarAsItsPathsFit)
{
    const WString path = scenario::TempFilePath("deep-ticket.xml");
    ASSERT_TRUE(WriteTextFile(path, Ticket(Nested("<Feature name=\"a\" value=\"1\">", "</Feature>", 254))));
    const GUID guid = Initialize();
    ASSERT_EQ(ReadTicket(0, path.c_str(), guid), ConvertAPISuccess);
    GUID copy = guid;
    char key[64];
    std::snprintf(key, sizeof(key), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(copy.Data1), copy.Data2, copy.Data3, copy.Data4[0], copy.Data4[1],
                  copy.Data4[2], copy.Data4[3], copy.Data4[4], copy.Data4[5], copy.Data4[6], copy.Data4[7]);
    const WString instanceKey = TEXT("Software\\Varnholt\\QXProcID") + scenario::Widen(key);
    bool found = false;
    EXPECT_EQ(scenario::ReadStringValue(instanceKey + TEXT("\\CalvexDriverData\\Printing\\OptItems"), TEXT("a"),
                                        &found),
              TEXT("1"));
    EXPECT_TRUE(found);
    // The Physical section after it was walked too.
    EXPECT_EQ(scenario::ReadStringValue(instanceKey + TEXT("\\CalvexDriverData\\Physical"), TEXT("Tray")),
              TEXT("Present"));
    EXPECT_EQ(ConvertTicketEx(&devmode.pub, guid, FlagFromDriverData), ConvertAPISuccess);
    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
    EXPECT_EQ(Leftovers(), "");
    RemoveFile(path);
}

}  // namespace
