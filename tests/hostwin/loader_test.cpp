// LoadLibraryW / GetProcAddress / FreeLibrary.
#include "fixture.h"

namespace {

std::u16string Path(const char *path) { return std::u16string(path, path + std::char_traits<char>::length(path)); }

class LoaderTest : public HostWinTest {};

TEST_F(LoaderTest, LoadingTwiceGivesTheSameModuleAndCountsReferences)
{
    long before = HostWinOpenHandleCount("module");
    HMODULE first = LoadLibraryW(Path(HOSTWIN_TEST_MODULE).c_str());
    HMODULE second = LoadLibraryW(Path(HOSTWIN_TEST_MODULE).c_str());
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(before + 2, HostWinOpenHandleCount("module"));
    EXPECT_TRUE(FreeLibrary(second));
    auto value = ProcAddress<int (*)()>(first, "TestModuleValue");
    ASSERT_NE(nullptr, value); // still loaded: one reference left
    EXPECT_EQ(42, value());
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(before, HostWinOpenHandleCount("module"));
    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
}

TEST_F(LoaderTest, MissingModule)
{
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadLibraryW(TEXT("/nonexistent/module.so")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
    EXPECT_EQ(0, HostWinOpenHandleCount("module"));
}

// Only the module's own exports: malloc is reachable through its
// dependencies, but it is not the module's.
TEST_F(LoaderTest, GetProcAddressFindsOnlyTheModulesOwnExports)
{
    HMODULE module = LoadLibraryW(Path(HOSTWIN_TEST_MODULE).c_str());
    ASSERT_NE(nullptr, module);
    for (const char *name : {"NoSuchExport", "malloc"}) {
        SetLastError(0);
        EXPECT_EQ(nullptr, GetProcAddress(module, name)) << name;
        EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), GetLastError());
    }
    FreeLibrary(module);
}

} // namespace
