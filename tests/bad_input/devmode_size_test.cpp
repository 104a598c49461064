// DEVMODEWs whose dmSize + dmDriverExtra is 0, 63, 64 and 131,070 bytes, each
// in a buffer of exactly the bytes it claims (at least the public fields,
// whose size fields the exports read), so that a read or write past it is
// caught under the sanitizers. The tag block is searched within the claimed
// size only, at every start offset, also past 65,535.
#include "tests/bad_input/bad_input_support.h"

#include "convertapi/common/constants.h"

#include <cstring>
#include <vector>

namespace {

using namespace bad_input;

constexpr size_t kNoBlock = static_cast<size_t>(-1);

void PutGuid(BYTE *at, const GUID &guid)
{
    const BYTE bytes[16] = {static_cast<BYTE>(guid.Data1),       static_cast<BYTE>(guid.Data1 >> 8),
                            static_cast<BYTE>(guid.Data1 >> 16), static_cast<BYTE>(guid.Data1 >> 24),
                            static_cast<BYTE>(guid.Data2),       static_cast<BYTE>(guid.Data2 >> 8),
                            static_cast<BYTE>(guid.Data3),       static_cast<BYTE>(guid.Data3 >> 8),
                            guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                            guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]};
    std::memcpy(at, bytes, 16);
}

// A free tag block: signature, lead GUID, empty slot, trail GUID.
void PutFreeBlock(BYTE *at)
{
    for (int word = 0; word < 4; ++word)
        for (int i = 0; i < 4; ++i)
            at[4 * word + i] = static_cast<BYTE>(convertapi::kDevmodeTagSignature[word] >> (8 * i));
    PutGuid(at + 16, convertapi::kDevmodeTagLeadGuid);
    std::memset(at + 32, 0, 16);
    PutGuid(at + 48, convertapi::kDevmodeTagTrailGuid);
}

struct SizeCase {
    const char *what;
    WORD dmSize;
    WORD dmDriverExtra;
    size_t blockAt;  // offset of a free tag block in the buffer, or kNoBlock
    DWORD expected;  // ConvertTicketEx and ConvertDevModeEx
};

// The buffer: the claimed bytes, never fewer than the public fields.
std::vector<BYTE> Buffer(const SizeCase &c)
{
    size_t claimed = static_cast<size_t>(c.dmSize) + c.dmDriverExtra;
    std::vector<BYTE> bytes(claimed < sizeof(DEVMODEW) ? sizeof(DEVMODEW) : claimed, 0x5A);
    if (c.blockAt != kNoBlock) PutFreeBlock(bytes.data() + c.blockAt);
    DEVMODEW *devmode = reinterpret_cast<DEVMODEW *>(bytes.data());
    devmode->dmSize = c.dmSize;
    devmode->dmDriverExtra = c.dmDriverExtra;
    return bytes;
}

bool SlotFree(const std::vector<BYTE> &bytes, size_t blockAt)
{
    static const BYTE zero[16] = {};
    return blockAt == kNoBlock || std::memcmp(bytes.data() + blockAt + 32, zero, 16) == 0;
}

// Stamped and handed to the driver, which refuses a DEVMODEW whose public
// part it cannot read: 14, and the tag is taken back.
const SizeCase kCases[] = {
    {"0 bytes", 0, 0, kNoBlock, ConvertAPITagNotStamped},
    {"0 bytes, a block beyond them", 0, 0, 0, ConvertAPITagNotStamped},
    {"63 bytes, a block one byte beyond them", 63, 0, 0, ConvertAPITagNotStamped},
    {"64 bytes, no block", 64, 0, kNoBlock, ConvertAPITagNotStamped},
    {"64 bytes, all of them a block", 64, 0, 0, ConvertAPIDriverFailed},
    {"131,070 bytes, no block", 0xFFFF, 0xFFFF, kNoBlock, ConvertAPITagNotStamped},
    {"131,070 bytes, a block in the last 64", 0xFFFF, 0xFFFF, 131070 - 64, ConvertAPIDriverFailed},
    {"131,070 bytes, a block past offset 65,535", 0xFFFF, 0xFFFF, 70001, ConvertAPIDriverFailed},
};

class DevmodeSizeTest : public BadInputTest {};

TEST_F(DevmodeSizeTest, TicketToDevmodeThroughAnInstance)
{
    const GUID guid = Initialize();
    ASSERT_EQ(ReadTicket(0, scenario::DataPath("tickets/flat.xml").c_str(), guid), ConvertAPISuccess);
    for (const SizeCase &c : kCases) {
        std::vector<BYTE> bytes = Buffer(c);
        EXPECT_EQ(ConvertTicketEx(reinterpret_cast<DEVMODEW *>(bytes.data()), guid, FlagFromDriverData), c.expected)
            << c.what;
        EXPECT_TRUE(SlotFree(bytes, c.blockAt)) << c.what;
    }
    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
    EXPECT_EQ(Leftovers(), "");
}

TEST_F(DevmodeSizeTest, DevmodeToTicketThroughAnInstance)
{
    const WString exported = scenario::TempFilePath("devmode-size-export.xml");
    for (const SizeCase &c : kCases) {
        RemoveFile(exported);
        const GUID guid = Initialize();
        std::vector<BYTE> bytes = Buffer(c);
        EXPECT_EQ(ConvertDevModeEx(exported.c_str(), reinterpret_cast<DEVMODEW *>(bytes.data()), guid,
                                   FlagDocumentProperties),
                  c.expected)
            << c.what;
        EXPECT_TRUE(SlotFree(bytes, c.blockAt)) << c.what;
        EXPECT_FALSE(FileExists(exported)) << c.what;
        EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
        EXPECT_EQ(Leftovers(), "") << c.what;
    }
}

// The self-contained exports hand the DEVMODEW to the driver as it is.
TEST_F(DevmodeSizeTest, SelfContainedExportsHandItToTheDriverAsItIs)
{
    const WString exported = scenario::TempFilePath("devmode-size-self-contained.xml");
    for (const SizeCase &c : kCases) {
        std::vector<BYTE> bytes = Buffer(c);
        const std::vector<BYTE> before = bytes;
        ConvertTicket(scenario::PrinterName(), scenario::DataPath("tickets/flat.xml").c_str(),
                      reinterpret_cast<DEVMODEW *>(bytes.data()), scenario::TicketLibraryPath(), 0);
        EXPECT_EQ(bytes, before) << c.what;  // the driver refuses what it cannot read
        RemoveFile(exported);
        ConvertDevmode(scenario::PrinterName(), exported.c_str(), reinterpret_cast<DEVMODEW *>(bytes.data()),
                       scenario::TicketLibraryPath(), 0);
        EXPECT_FALSE(FileExists(exported)) << c.what;
        EXPECT_EQ(Leftovers(), "") << c.what;
    }
}

// The driver's own DEVMODEW followed by a private area that fills the
// largest size there is: found, stamped, converted and cleared.
TEST_F(DevmodeSizeTest, TheLargestSizeWithTheDriversOwnDevmode)
{
    std::vector<BYTE> bytes(131070, 0);
    std::memcpy(bytes.data(), &devmode, sizeof(devmode));
    DEVMODEW *large = reinterpret_cast<DEVMODEW *>(bytes.data());
    large->dmDriverExtra = static_cast<WORD>(131070 - sizeof(DEVMODEW));

    const GUID guid = Initialize();
    ASSERT_EQ(ReadTicket(0, scenario::DataPath("tickets/flat.xml").c_str(), guid), ConvertAPISuccess);
    EXPECT_EQ(ConvertTicketEx(large, guid, FlagFromDriverData), ConvertAPISuccess);
    EXPECT_EQ(large->dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_TRUE(SlotFree(bytes, sizeof(DEVMODEW)));
    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);

    const WString exported = scenario::TempFilePath("devmode-size-largest.xml");
    RemoveFile(exported);
    const GUID second = Initialize();
    EXPECT_EQ(ConvertDevModeEx(exported.c_str(), large, second, FlagDocumentProperties), ConvertAPISuccess);
    EXPECT_TRUE(FileExists(exported));
    EXPECT_TRUE(SlotFree(bytes, sizeof(DEVMODEW)));
    EXPECT_EQ(KillConvertAPI(second), ConvertAPISuccess);
    EXPECT_EQ(Leftovers(), "");
    RemoveFile(exported);
}

}  // namespace
