// CoCreateGuid and StringFromGUID2.
#include "fixture.h"

namespace {

class ComTest : public HostWinTest {};

TEST_F(ComTest, GuidsAreRandomVersion4)
{
    GUID a, b;
    ASSERT_EQ(S_OK, CoCreateGuid(&a));
    ASSERT_EQ(S_OK, CoCreateGuid(&b));
    EXPECT_NE(a, b);
    EXPECT_NE(GUID_NULL, a);
    EXPECT_EQ(0x4000, a.Data3 & 0xF000);
    EXPECT_EQ(0x80, a.Data4[0] & 0xC0);
    EXPECT_EQ(E_INVALIDARG, CoCreateGuid(nullptr));
}

TEST_F(ComTest, StringFromGuidIsBracedUpperCase)
{
    const GUID guid = {0x0123abcd, 0x4e5f, 0x6a7b, {0x8c, 0x9d, 0xae, 0xbf, 0x01, 0x02, 0x03, 0xf4}};
    WCHAR text[64];
    for (auto &c : text) c = u'#';
    EXPECT_EQ(39, StringFromGUID2(guid, text, 64));
    EXPECT_EQ(u"{0123ABCD-4E5F-6A7B-8C9D-AEBF010203F4}", std::u16string(text));
    EXPECT_EQ(u'#', text[39]);
    EXPECT_EQ(39, StringFromGUID2(guid, text, 39));
    EXPECT_EQ(0, StringFromGUID2(guid, text, 38));
    EXPECT_EQ(39, StringFromGUID2(GUID_NULL, text, 39));
    EXPECT_EQ(u"{00000000-0000-0000-0000-000000000000}", std::u16string(text));
}

} // namespace
