#include "tests/faults/sequences.h"

#include "convertapi.h"
#include "tests/support/scenario_environment.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace faults {
namespace {

const GUID kNull = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// The driver's own default DEVMODEW, with its free tag block.
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

bool PrepareImport(Inputs *inputs)
{
    inputs->ticket = scenario::DataPath("tickets/nested.xml");
    return DefaultDevmode(&inputs->devmode);
}

bool PrepareExport(Inputs *inputs)
{
    inputs->exported = scenario::TempFilePath("fault-sweep-export.xml");
    std::remove(Narrow(inputs->exported).c_str());
    if (!DefaultDevmode(&inputs->devmode)) return false;
    inputs->devmode.pub.dmOrientation = DMORIENT_LANDSCAPE;
    inputs->devmode.pub.dmFields |= DM_ORIENTATION;
    return true;
}

bool PrepareNothing(Inputs *) { return true; }

bool PrepareOverride(Inputs *)
{
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(const_cast<WCHAR *>(scenario::PrinterName()), &printer, &defaults)) return false;
    WCHAR text[] = TEXT("7");
    DWORD status = SetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("QXConvertAPIVersionOverride")), REG_SZ,
                                   reinterpret_cast<BYTE *>(text), sizeof(text));
    ClosePrinter(printer);
    return status == ERROR_SUCCESS;
}

Outcome RunConvertTicket(Inputs *inputs)
{
    ConvertTicket(scenario::PrinterName(), inputs->ticket.c_str(), &inputs->devmode.pub, scenario::TicketLibraryPath(),
                  3);
    Outcome outcome;
    outcome.steps.push_back({"ConvertTicket", false, 0});
    return outcome;
}

Outcome RunInstanceImport(Inputs *inputs)
{
    Outcome outcome;
    GUID guid = kNull;
    DWORD result = InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &guid);
    outcome.steps.push_back({"InitializeConvertAPI", true, result});
    // Without a GUID the caller has no instance to go on with. After a failed
    // binding it holds one, and goes on as a caller would.
    if (result == ConvertAPIGuidNotCreated) return outcome;
    outcome.steps.push_back({"ReadTicket", true, ReadTicket(1234, inputs->ticket.c_str(), guid)});
    outcome.steps.push_back({"ConvertTicketEx", true, ConvertTicketEx(&inputs->devmode.pub, guid, FlagFromDriverData)});
    outcome.steps.push_back({"KillConvertAPI", true, KillConvertAPI(guid)});
    return outcome;
}

Outcome RunConvertDevmode(Inputs *inputs)
{
    ConvertDevmode(scenario::PrinterName(), inputs->exported.c_str(), &inputs->devmode.pub,
                   scenario::TicketLibraryPath(), 0);
    Outcome outcome;
    outcome.steps.push_back({"ConvertDevmode", false, 0});
    return outcome;
}

Outcome RunInstanceExport(Inputs *inputs)
{
    Outcome outcome;
    GUID guid = kNull;
    DWORD result = InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &guid);
    outcome.steps.push_back({"InitializeConvertAPI", true, result});
    if (result == ConvertAPIGuidNotCreated) return outcome;
    outcome.steps.push_back(
        {"ConvertDevModeEx", true,
         ConvertDevModeEx(inputs->exported.c_str(), &inputs->devmode.pub, guid,
                          FlagPrinterProperties | FlagDocumentProperties)});
    outcome.steps.push_back({"KillConvertAPI", true, KillConvertAPI(guid)});
    return outcome;
}

Outcome RunVersion(Inputs *)
{
    Outcome outcome;
    outcome.steps.push_back({"GetConvertAPIVersion", true, GetConvertAPIVersion(&outcome.version)});
    return outcome;
}

Outcome RunVersionEx(Inputs *)
{
    Outcome outcome;
    outcome.steps.push_back(
        {"GetConvertAPIVersionEx", true, GetConvertAPIVersionEx(&outcome.version, scenario::PrinterName())});
    return outcome;
}

}  // namespace

const std::vector<Sequence> &Sequences()
{
    static const std::vector<Sequence> sequences = {
        {"ConvertTicket", PrepareImport, RunConvertTicket},
        {"InitializeConvertAPI_ReadTicket_ConvertTicketEx_KillConvertAPI", PrepareImport, RunInstanceImport},
        {"ConvertDevmode", PrepareExport, RunConvertDevmode},
        {"InitializeConvertAPI_ConvertDevModeEx_KillConvertAPI", PrepareExport, RunInstanceExport},
        {"GetConvertAPIVersion", PrepareNothing, RunVersion},
        {"GetConvertAPIVersionEx", PrepareOverride, RunVersionEx},
    };
    return sequences;
}

const std::set<DWORD> &AllowedResults(const char *exportName)
{
    static const std::map<std::string, std::set<DWORD>> allowed = {
        {"InitializeConvertAPI", {ConvertAPISuccess, ConvertAPIGuidNotCreated, ConvertAPINotOpened}},
        {"ReadTicket", {ConvertAPISuccess, ConvertAPITicketNotRead}},
        {"ConvertTicketEx",
         {ConvertAPISuccess, ConvertAPITagNotStamped, ConvertAPITagNotCleared, ConvertAPIDriverFailed}},
        {"ConvertDevModeEx",
         {ConvertAPISuccess, ConvertAPITagNotStamped, ConvertAPITagNotCleared, ConvertAPIDriverFailed}},
        {"KillConvertAPI", {ConvertAPISuccess}},
        {"GetConvertAPIVersion", {ConvertAPISuccess}},
        {"GetConvertAPIVersionEx",
         {ConvertAPISuccess, ConvertAPIOverrideNotSized, ConvertAPIOverrideNotRead, ConvertAPIOverrideNoMemory}},
    };
    static const std::set<DWORD> none;
    auto it = allowed.find(exportName);
    return it == allowed.end() ? none : it->second;
}

WString ProcessIdKeyName() { return TEXT("QXProcID") + Widen(std::to_string(GetCurrentProcessId())); }
WString FallbackKeyName() { return TEXT("QXProcIDFallback"); }
const WCHAR *VendorKey() { return TEXT("Software\\Varnholt"); }

}  // namespace faults
