// Fixture of the tests that drive the stand-in ticket library through its
// entry points: each test starts and ends with no ticket open.
#pragma once

#include "test_support.h"

#include "standins/ticketlib/control.h"
#include "standins/ticketlib/standin_ticketlib.h"

#include <gtest/gtest.h>

#include <string>

class TicketTest : public ::testing::Test {
protected:
    void SetUp() override { ZELEndConfig(); }
    void TearDown() override { ZELEndConfig(); }

    // Writes `xml` to a file and opens it as the client does.
    LONG Open(const std::string &xml, const std::string &fileName = "ticket.xml")
    {
        const WideString path = WriteTempFile(fileName, xml);
        return ZELStartConfig(path.c_str(), 4, TEXT("zel_driver"), 2);
    }

    // The list of the current context's features, or "<fail>".
    static std::string List(size_t capacity = 2048)
    {
        std::vector<WCHAR> list = PreparedBuffer(capacity);
        return ZELEnumFeatures(nullptr, list.data()) ? Narrow(list.data()) : "<fail>";
    }

    // The value of `name`, or "<fail>".
    static std::string Value(const WCHAR *name, size_t capacity = 256)
    {
        std::vector<WCHAR> value = PreparedBuffer(capacity);
        return ZELGet(name, value.data()) ? Narrow(value.data()) : "<fail>";
    }
};
