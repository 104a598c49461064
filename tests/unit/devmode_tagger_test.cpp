#include "convertapi/api/devmode_tagger.h"
#include "convertapi/common/constants.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace convertapi {
namespace {

const GUID kFirst = {0x11111111, 0x2222, 0x3333, {0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB}};
const GUID kSecond = {0xCAFEF00D, 0x1234, 0x5678, {0x9A, 0xBC, 0xDE, 0xF0, 0x01, 0x02, 0x03, 0x04}};

// The block exactly as the driver lays it down, written byte by byte.
const BYTE kSignature[16] = {0x49, 0x50, 0x41, 0x43, 0x44, 0x52, 0x57, 0x44,
                             0x53, 0x47, 0x41, 0x54, 0x43, 0x41, 0x50, 0x49};
const BYTE kLead[16] = {0x1B, 0x3B, 0xAB, 0x46, 0x87, 0x34, 0xE8, 0x45,
                        0x81, 0xD4, 0xDF, 0x38, 0x13, 0x51, 0x3B, 0x4B};
const BYTE kTrail[16] = {0x00, 0x69, 0x9A, 0xDD, 0x85, 0x26, 0xF8, 0x45,
                         0x89, 0x25, 0xEA, 0x39, 0xAA, 0x10, 0x78, 0xC8};
const BYTE kAnyBytes[16] = {0x54, 0x66, 0xDD, 0x20, 0x23, 0xBD, 0xAE, 0x42,
                            0x91, 0x99, 0x2F, 0x3D, 0x77, 0xE1, 0xAC, 0x62};
const BYTE kFirstBytes[16] = {0x11, 0x11, 0x11, 0x11, 0x22, 0x22, 0x33, 0x33,
                              0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB};

void PutBlock(std::vector<BYTE> &buffer, size_t offset, const BYTE *slot = nullptr)
{
    std::memcpy(&buffer[offset], kSignature, 16);
    std::memcpy(&buffer[offset + 16], kLead, 16);
    if (slot != nullptr)
        std::memcpy(&buffer[offset + 32], slot, 16);
    else
        std::memset(&buffer[offset + 32], 0, 16);
    std::memcpy(&buffer[offset + 48], kTrail, 16);
}

bool SlotHolds(const std::vector<BYTE> &buffer, size_t offset, const BYTE *bytes)
{
    return std::memcmp(&buffer[offset + 32], bytes, 16) == 0;
}

bool SlotFree(const std::vector<BYTE> &buffer, size_t offset)
{
    static const BYTE zero[16] = {};
    return SlotHolds(buffer, offset, zero);
}

class DevmodeTaggerTest : public ::testing::Test {
protected:
    DevmodeTagger tagger;
};

TEST_F(DevmodeTaggerTest, FindsBlocksAtTheEdgesOfTheSearchedRange)
{
    struct Case {
        size_t bufferSize;
        size_t offset;
        DWORD searched;
        bool found;
    } cases[] = {
        {64, 0, 64, true},                  // the whole range is one block
        {220 + 400, 221, 220 + 400, true},  // odd offset inside a driver's private area
        {300, 236, 300, true},              // ends exactly at the size
        {300, 236, 299, false},             // its last byte lies beyond the size
        {300, 0, 63, false},                // too small for any block
        {300, 0, 0, false},
        // Beyond 16-bit start offsets: the search still reaches the last
        // possible start and never reads past the size.
        {131070, 131070 - 64, 131070, true},
        {131070, 65536, 131070, true},
        {131070, 131070 - 64, 131069, false},
    };
    for (const Case &c : cases) {
        std::vector<BYTE> buffer(c.bufferSize, 0);
        PutBlock(buffer, c.offset);
        BYTE *slot = tagger.FindDevmodeTag(buffer.data(), c.searched, kNullGuid);
        if (c.found)
            EXPECT_EQ(slot, buffer.data() + c.offset + 32) << "offset " << c.offset << " size " << c.searched;
        else
            EXPECT_EQ(slot, nullptr) << "offset " << c.offset << " size " << c.searched;
    }
}

TEST_F(DevmodeTaggerTest, AnyChangedByteOutsideTheSlotHidesTheBlock)
{
    std::vector<BYTE> buffer(200, 0);
    const size_t offset = 37;
    for (size_t i = 0; i < 64; ++i) {
        if (i >= 32 && i < 48) continue;
        PutBlock(buffer, offset);
        buffer[offset + i] ^= 0x01;
        EXPECT_EQ(tagger.FindDevmodeTag(buffer.data(), 200, kNullGuid), nullptr) << "byte " << i;
        EXPECT_EQ(tagger.FindDevmodeTag(buffer.data(), 200, kDevmodeTagAnyGuid), nullptr) << "byte " << i;
        EXPECT_EQ(tagger.StampDevmodeTag(buffer.data(), 200, kFirst), 0);
    }
}

TEST_F(DevmodeTaggerTest, SkipsDecoysThatShareTheFirstSignatureByte)
{
    // Many candidates starting with 'I', some with a whole signature but a
    // broken GUID, and overlapping starts: only the real block matches.
    std::vector<BYTE> buffer(1024, 0x49);
    PutBlock(buffer, 100);
    buffer[100 + 20] ^= 0xFF;  // broken lead GUID
    PutBlock(buffer, 301);
    std::memcpy(&buffer[301 + 64], kSignature, 16);  // a signature right after, nothing else
    BYTE *slot = tagger.FindDevmodeTag(buffer.data(), 1024, kNullGuid);
    EXPECT_EQ(slot, buffer.data() + 301 + 32);
}

TEST_F(DevmodeTaggerTest, FirstBlockInOffsetOrderWins)
{
    std::vector<BYTE> buffer(400, 0);
    PutBlock(buffer, 250);
    PutBlock(buffer, 30);
    EXPECT_EQ(tagger.FindDevmodeTag(buffer.data(), 400, kNullGuid), buffer.data() + 30 + 32);
}

TEST_F(DevmodeTaggerTest, StampsFreeBlocksInOrderAndClearsOnlyTheMatchingOne)
{
    std::vector<BYTE> buffer(500, 0);
    PutBlock(buffer, 10);
    PutBlock(buffer, 301);

    ASSERT_EQ(tagger.StampDevmodeTag(buffer.data(), 500, kFirst), 1);
    EXPECT_TRUE(SlotHolds(buffer, 10, kFirstBytes));
    EXPECT_TRUE(SlotFree(buffer, 301));

    ASSERT_EQ(tagger.StampDevmodeTag(buffer.data(), 500, kSecond), 1);
    EXPECT_EQ(tagger.FindDevmodeTag(buffer.data(), 500, kSecond), buffer.data() + 301 + 32);

    // No free block left: a third stamp fails and changes nothing.
    std::vector<BYTE> before = buffer;
    EXPECT_EQ(tagger.StampDevmodeTag(buffer.data(), 500, kFirst), 0);
    EXPECT_EQ(buffer, before);

    EXPECT_EQ(tagger.ClearDevmodeTag(buffer.data(), 500, kSecond), 1);
    EXPECT_TRUE(SlotHolds(buffer, 10, kFirstBytes));
    EXPECT_TRUE(SlotFree(buffer, 301));
    // Only the slot was written: the rest of the block is intact.
    EXPECT_EQ(std::memcmp(&buffer[301], kSignature, 16), 0);
    EXPECT_EQ(std::memcmp(&buffer[301 + 48], kTrail, 16), 0);
}

TEST_F(DevmodeTaggerTest, ClearNeedsTheStampedGuidUnlessAskedForAnyBlock)
{
    std::vector<BYTE> buffer(128, 0);
    PutBlock(buffer, 0, kFirstBytes);

    std::vector<BYTE> before = buffer;
    EXPECT_EQ(tagger.ClearDevmodeTag(buffer.data(), 128, kSecond), 0);
    EXPECT_EQ(tagger.ClearDevmodeTag(buffer.data(), 128, kNullGuid), 0);
    EXPECT_EQ(buffer, before);

    EXPECT_EQ(tagger.ClearDevmodeTag(buffer.data(), 128, kDevmodeTagAnyGuid), 1);
    EXPECT_TRUE(SlotFree(buffer, 0));
}

TEST_F(DevmodeTaggerTest, StampingAnAlreadyStampedBlockFails)
{
    for (const GUID &guid : {kFirst, kSecond}) {
        std::vector<BYTE> buffer(128, 0);
        PutBlock(buffer, 5, kFirstBytes);
        EXPECT_EQ(tagger.StampDevmodeTag(buffer.data(), 128, guid), 0);
        EXPECT_TRUE(SlotHolds(buffer, 5, kFirstBytes));
    }
}

TEST_F(DevmodeTaggerTest, TheAnyGuidAsAStamp)
{
    std::vector<BYTE> buffer(128, 0);
    PutBlock(buffer, 0);
    ASSERT_EQ(tagger.StampDevmodeTag(buffer.data(), 128, kDevmodeTagAnyGuid), 1);
    EXPECT_TRUE(SlotHolds(buffer, 0, kAnyBytes));
    EXPECT_EQ(tagger.StampDevmodeTag(buffer.data(), 128, kFirst), 0);
    EXPECT_EQ(tagger.ClearDevmodeTag(buffer.data(), 128, kFirst), 0);
    EXPECT_EQ(tagger.ClearDevmodeTag(buffer.data(), 128, kDevmodeTagAnyGuid), 1);
}

TEST_F(DevmodeTaggerTest, StampingTheNullGuidLeavesTheBlockFree)
{
    std::vector<BYTE> buffer(128, 0);
    PutBlock(buffer, 0);
    EXPECT_EQ(tagger.StampDevmodeTag(buffer.data(), 128, kNullGuid), 1);
    EXPECT_TRUE(SlotFree(buffer, 0));
}

TEST_F(DevmodeTaggerTest, NullBufferIsRefused)
{
    EXPECT_EQ(tagger.FindDevmodeTag(nullptr, 1000, kDevmodeTagAnyGuid), nullptr);
    EXPECT_EQ(tagger.StampDevmodeTag(nullptr, 1000, kFirst), 0);
    EXPECT_EQ(tagger.ClearDevmodeTag(nullptr, 1000, kFirst), 0);
}

}  // namespace
}  // namespace convertapi
