// A failed export must leave nothing that a later conversion of the same
// process takes for its own request: the key named by the process id is
// shared by all of them, and a stale export marker there turned the next
// import into an export that failed silently.
#include "convertapi.h"
#include "hostwin/control.h"
#include "standins/driver/standin_devmode.h"
#include "tests/faults/registry_snapshot.h"
#include "tests/faults/sequences.h"
#include "tests/support/scenario_environment.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool DefaultDevmode(StandinDevmode *devmode)
{
    std::memset(devmode, 0, sizeof(*devmode));
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<WCHAR *>(scenario::PrinterName()), &printer, nullptr)) return false;
    LONG answer = DocumentPropertiesW(nullptr, printer, const_cast<WCHAR *>(scenario::PrinterName()), &devmode->pub,
                                      nullptr, DM_OUT_BUFFER);
    ClosePrinter(printer);
    return answer == IDOK;
}

class FailedExportTest : public scenario::ScenarioTest {};

TEST_F(FailedExportTest, LeavesNothingThatTheNextImportTakesForItsOwn)
{
    StandinDevmode devmode;
    ASSERT_TRUE(DefaultDevmode(&devmode));
    GUID guid = {};
    ASSERT_EQ(InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &guid), ConvertAPISuccess);
    scenario::Driver().SetAnswer(StandinAnswerError);
    EXPECT_EQ(ConvertDevModeEx(scenario::TempFilePath("failed-export.xml").c_str(), &devmode.pub, guid,
                               FlagDocumentProperties),
              ConvertAPIDriverFailed);
    scenario::Driver().SetAnswer(StandinAnswerOk);
    EXPECT_EQ(faults::Describe(faults::SnapshotBelow(faults::VendorKey())), "(nothing)");
    EXPECT_FALSE(scenario::PrinterDataExists(scenario::PrinterName(), TEXT("AlwaysExport")));
    EXPECT_FALSE(scenario::PrinterDataExists(scenario::PrinterName(), TEXT("ExportTicketLocation")));
    // Out of export mode: the end of the instance looks for no printer data.
    HostWinClearDebugOutput();
    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
    EXPECT_TRUE(HostWinDebugOutput().empty());

    // The next import of the process is an import to the driver, and applies.
    scenario::Driver().Reset();
    ConvertTicket(scenario::PrinterName(), scenario::DataPath("tickets/flat.xml").c_str(), &devmode.pub,
                  scenario::TicketLibraryPath(), 0);
    ASSERT_GE(scenario::Driver().CallCount(), 1);
    for (LONG i = 0; i < scenario::Driver().CallCount(); ++i)
        EXPECT_EQ(scenario::Driver().Call(i)->exportMode, 0) << "driver call " << i;
    EXPECT_EQ(devmode.pub.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(faults::Describe(faults::SnapshotBelow(faults::VendorKey())), "(nothing)");
}

}  // namespace
