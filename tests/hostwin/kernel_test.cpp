// LocalAlloc / LocalFree, last error, process id, debug output.
#include "fixture.h"

#include <stdlib.h>
#include <unistd.h>

#include <thread>

namespace {

class KernelTest : public HostWinTest {};

TEST_F(KernelTest, LocalAllocZeroFillsAndLocalFreeReturnsNull)
{
    long before = HostWinOpenHandleCount("local");
    auto *block = static_cast<BYTE *>(LocalAlloc(LMEM_ZEROINIT, 512));
    ASSERT_NE(nullptr, block);
    for (int i = 0; i < 512; ++i) ASSERT_EQ(0, block[i]);
    HLOCAL empty = LocalAlloc(LPTR, 0);
    EXPECT_NE(nullptr, empty);
    EXPECT_EQ(before + 2, HostWinOpenHandleCount("local"));
    EXPECT_EQ(nullptr, LocalFree(block));
    EXPECT_EQ(nullptr, LocalFree(empty));
    EXPECT_EQ(before, HostWinOpenHandleCount("local"));
    EXPECT_EQ(nullptr, LocalFree(nullptr));
}

TEST_F(KernelTest, LocalFreeRefusesWhatItDidNotHandOut)
{
    HLOCAL block = LocalAlloc(LMEM_FIXED, 8);
    LocalFree(block);
    SetLastError(0);
    EXPECT_EQ(block, LocalFree(block)); // a second free is refused, not a crash
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

TEST_F(KernelTest, LastErrorIsPerThread)
{
    SetLastError(ERROR_MORE_DATA);
    DWORD other = 1;
    std::thread([&] { other = GetLastError(); }).join();
    EXPECT_EQ(0u, other);
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), GetLastError());
}

TEST_F(KernelTest, ProcessIdIsTheHosts)
{
    EXPECT_EQ(static_cast<DWORD>(getpid()), GetCurrentProcessId());
}

TEST_F(KernelTest, DebugOutputIsKeptInOrderUntilReset)
{
    OutputDebugStringW(TEXT("Failed to create registry key AlwaysExport\n"));
    OutputDebugStringW(TEXT("second"));
    OutputDebugStringW(nullptr);
    std::vector<std::u16string> expected = {u"Failed to create registry key AlwaysExport\n", u"second"};
    EXPECT_EQ(expected, HostWinDebugOutput());
    HostWinClearDebugOutput();
    EXPECT_TRUE(HostWinDebugOutput().empty());
    OutputDebugStringW(TEXT("x"));
    HostWinReset();
    EXPECT_TRUE(HostWinDebugOutput().empty());
}

TEST_F(KernelTest, DebugOutputEchoesToStderrOnRequest)
{
    setenv("HOSTWIN_DEBUG_STDERR", "1", 1);
    testing::internal::CaptureStderr();
    OutputDebugStringW(TEXT("caf\u00e9\n"));
    std::string echoed = testing::internal::GetCapturedStderr();
    unsetenv("HOSTWIN_DEBUG_STDERR");
    EXPECT_EQ("caf\xc3\xa9\n", echoed);
    testing::internal::CaptureStderr();
    OutputDebugStringW(TEXT("quiet"));
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

TEST_F(KernelTest, OpenHandlesOfAllKinds)
{
    long before = HostWinOpenHandleCount(nullptr);
    HLOCAL block = LocalAlloc(LPTR, 1);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("K"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    EXPECT_EQ(before + 2, HostWinOpenHandleCount(nullptr));
    EXPECT_EQ(0, HostWinOpenHandleCount("no such kind"));
    RegCloseKey(key);
    LocalFree(block);
    EXPECT_EQ(before, HostWinOpenHandleCount(nullptr));
}

} // namespace
