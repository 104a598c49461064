// Every hostwin test starts on a fresh machine.
#pragma once

#include "hostwin/control.h"

#include <gtest/gtest.h>

#include <string>

class HostWinTest : public ::testing::Test {
protected:
    void SetUp() override { HostWinReset(); }
    void TearDown() override { HostWinReset(); }
};

// A writable copy of a literal, for the spooler's LPWSTR parameters.
inline std::u16string Text(const char16_t *s) { return std::u16string(s); }

// GetProcAddress with the export's own type.
template <typename Proc>
Proc ProcAddress(HMODULE module, const char *name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}
