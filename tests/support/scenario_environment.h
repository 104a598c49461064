// What every scenario test stands on: the stand-in printers, the stand-in
// modules, a clean machine before each test and the stand-in driver's record.
// Scenario tests call only Win32 and the exports, so they run unchanged on the
// host (over hostwin) and under Wine.
#pragma once

#include "convertapi/common/platform.h"
#include "standins/driver/standin_driver_api.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {

using WString = std::basic_string<WCHAR>;

// The printer whose driver is the stand-in driver; opens with full access.
const WCHAR *PrinterName();
// A printer that refuses PRINTER_ALL_ACCESS.
const WCHAR *RestrictedPrinterName();
// Path of the stand-in ticket library module, as LoadLibraryW takes it.
const WCHAR *TicketLibraryPath();
// A writable file path in a folder of this test program's own.
WString TempFilePath(const char *name);
// A file under tests/data, e.g. DataPath("tickets/flat.xml").
WString DataPath(const char *relative);
// Converts ASCII/UTF-8 text for comparisons and paths.
WString Widen(const std::string &text);
std::string Narrow(const WString &text);

// The stand-in driver's test exports.
struct DriverRecord {
    LONG CallCount() const;
    const StandinDriverCall *Call(LONG index) const;
    void Reset() const;
    void SetAnswer(LONG answer) const;
};
const DriverRecord &Driver();

// Everything a test may have left: the global Converter, the request keys
// below HKEY_CURRENT_USER\Software\Varnholt, the request's printer data on
// both printers and the driver's record and answer.
void ResetMachine();

// True when a registry key below HKEY_CURRENT_USER exists.
bool KeyExists(const WString &path);
// Reads a REG_SZ value (empty when missing); `found` tells which.
WString ReadStringValue(const WString &keyPath, const WCHAR *name, bool *found = nullptr);
// True when the printer has the named printer data value.
bool PrinterDataExists(const WCHAR *printer, const WCHAR *name);

class ScenarioTest : public ::testing::Test {
protected:
    void SetUp() override { ResetMachine(); }
    void TearDown() override { ResetMachine(); }
};

}  // namespace scenario
