// The fault sweep: every conversion sequence runs once cleanly to count its
// allocations and its registry and spooler calls, then once for each of them
// with exactly that one failing. Each run must end with result codes from the
// interface's table, every handle and allocation given back, and nothing left
// in the registry or in printer data beyond what the failure itself explains:
// a key whose deletion failed (with the keys above it, emptied of the
// request's values) and printer data whose deletion failed.
#include "tests/faults/live_allocations.h"
#include "tests/faults/registry_snapshot.h"
#include "tests/faults/sequences.h"

#include "convertapi.h"
#include "hostwin/control.h"
#include "tests/support/scenario_environment.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using faults::Inputs;
using faults::Outcome;
using faults::RegistrySnapshot;
using faults::Sequence;
using faults::WString;

const char *const kHandleKinds[] = {"registry", "printer", "module", "local"};

// The calls that a category fault can make fail, one name each; closing a
// handle never fails by category.
const char *const kRegistryCalls[] = {"RegOpenKeyExW",  "RegCreateKeyExW", "RegSetValueExW",
                                      "RegQueryValueExW", "RegEnumValueW", "RegEnumKeyExW",
                                      "RegDeleteValueW", "RegDeleteKeyW",  "RegDeleteTreeW"};
const char *const kSpoolerCalls[] = {"OpenPrinterW",       "GetPrinterDataW",    "SetPrinterDataW",
                                     "DeletePrinterDataW", "DocumentPropertiesW", "PrinterProperties"};

struct Fault {
    std::string category;  // "" for the clean run
    std::string function;  // the call made to fail, for registry and spooler faults
    long nth = 0;

    std::string Text() const
    {
        if (category.empty()) return "no fault";
        return category + (function.empty() ? "" : ":" + function) + " #" + std::to_string(nth);
    }
};

struct Baseline {
    long handles[4];
    std::size_t allocations;
};

class FaultSweep : public ::testing::TestWithParam<Sequence> {
protected:
    // A clean machine and fresh inputs, then the counts the run is held to.
    Baseline Prepare()
    {
        scenario::ResetMachine();
        inputs = Inputs();
        EXPECT_TRUE(GetParam().prepare(&inputs)) << "preparing " << GetParam().name;
        scenario::Driver().Reset();
        HostWinClearDebugOutput();
        Baseline baseline;
        for (int i = 0; i < 4; ++i) baseline.handles[i] = HostWinOpenHandleCount(kHandleKinds[i]);
        baseline.allocations = faults::LiveAllocations();
        return baseline;
    }

    // Runs the sequence with `fault` armed and checks what it left.
    Outcome RunWith(const Fault &fault)
    {
        const Baseline baseline = Prepare();
        if (!fault.category.empty())
            HostWinInjectFault(fault.function.empty() ? fault.category.c_str() : fault.function.c_str(), fault.nth);
        const Outcome outcome = GetParam().run(&inputs);
        HostWinClearFaults();
        Check(fault, outcome, baseline);
        return outcome;
    }

    void Check(const Fault &fault, const Outcome &outcome, const Baseline &baseline)
    {
        std::vector<std::string> found;
        bool tagMayStay = false;
        for (const faults::StepResult &step : outcome.steps) {
            if (!step.hasResult) continue;
            if (faults::AllowedResults(step.exportName).count(step.result) == 0)
                found.push_back(std::string(step.exportName) + " returned " + std::to_string(step.result));
            if (step.result == ConvertAPITagNotCleared) tagMayStay = true;
        }
        CheckVersion(fault, outcome, &found);

        for (int i = 0; i < 4; ++i) {
            long now = HostWinOpenHandleCount(kHandleKinds[i]);
            if (now != baseline.handles[i])
                found.push_back(std::to_string(now - baseline.handles[i]) + " " + kHandleKinds[i] + " handle(s) left");
        }
        std::size_t allocations = faults::LiveAllocations();
        if (allocations != baseline.allocations)
            found.push_back(std::to_string(static_cast<long>(allocations - baseline.allocations)) +
                            " allocation(s) left");

        static const BYTE zero[16] = {};
        if (!tagMayStay && std::memcmp(inputs.devmode.priv.tagBlock + 32, zero, 16) != 0)
            found.push_back("the DEVMODEW's tag slot is still stamped");

        CheckRegistry(fault, &found);
        CheckPrinterData(fault, &found);
        CountSilentExport(outcome);

        if (!found.empty()) {
            ++failedPoints;
            if (failedPoints <= 20) {
                std::string text;
                for (const std::string &problem : found) text += "\n    " + problem;
                ADD_FAILURE() << GetParam().name << ", " << fault.Text() << ":" << text;
            }
        }
    }

    // An export that reported success without a ticket file: possible where
    // a write of the request failed, since no write's result is examined;
    // counted and shown, not failed.
    void CountSilentExport(const Outcome &outcome)
    {
        for (const faults::StepResult &step : outcome.steps) {
            if (std::strcmp(step.exportName, "ConvertDevModeEx") != 0 || step.result != ConvertAPISuccess) continue;
            FILE *file = std::fopen(faults::Narrow(inputs.exported).c_str(), "rb");
            if (file != nullptr)
                std::fclose(file);
            else
                ++silentExports;
        }
    }

    void CheckVersion(const Fault &fault, const Outcome &outcome, std::vector<std::string> *found)
    {
        if (outcome.steps.empty()) return;
        const faults::StepResult &step = outcome.steps.front();
        if (std::strcmp(step.exportName, "GetConvertAPIVersion") == 0) {
            if (outcome.version != ConvertAPIVersion) found->push_back("version " + std::to_string(outcome.version));
        } else if (std::strcmp(step.exportName, "GetConvertAPIVersionEx") == 0) {
            // The override is 7; a printer that cannot be opened has none.
            DWORD expected = fault.function == "OpenPrinterW" ? ConvertAPIVersion : 7;
            if (step.result == ConvertAPISuccess ? outcome.version != expected
                                                 : outcome.version != faults::kUnsetVersion)
                found->push_back("result " + std::to_string(step.result) + " with version " +
                                 std::to_string(outcome.version));
        }
    }

    void CheckRegistry(const Fault &fault, std::vector<std::string> *found)
    {
        const RegistrySnapshot left = faults::SnapshotBelow(faults::VendorKey());
        if (left.empty()) return;

        // A key that could not be deleted stays, and so do the keys above it
        // up to the request's key; the withdrawal has emptied them all.
        if (fault.function == "RegDeleteKeyW" && IsEmptiedChain(left)) return;
        found->push_back("left in the registry: " + faults::Describe(left));
    }

    static bool IsEmptiedChain(const RegistrySnapshot &left)
    {
        WString top;
        for (const auto &key : left) {
            if (!key.second.empty()) return false;
            size_t slash = key.first.find(TEXT('\\'));
            WString first = key.first.substr(0, slash);
            if (top.empty()) top = first;
            if (first != top) return false;
        }
        if (top.rfind(TEXT("QXProcID"), 0) != 0) return false;
        // One path: each key is the one before it with one more level.
        const WString *previous = nullptr;
        for (const auto &key : left) {
            if (previous != nullptr && key.first.rfind(*previous + TEXT("\\"), 0) != 0) return false;
            previous = &key.first;
        }
        return true;
    }

    void CheckPrinterData(const Fault &fault, std::vector<std::string> *found)
    {
        std::vector<std::u16string> debug = HostWinDebugOutput();
        for (const WCHAR *name : {TEXT("AlwaysExport"), TEXT("ExportTicketLocation")}) {
            if (!PrinterDataExists(name)) continue;
            // A withdrawal that could not open the printer, or whose deletion
            // failed and said so, leaves the value.
            std::u16string message = std::u16string(u"Failed to delete registry key ") + name + u"\n";
            bool said = false;
            for (const std::u16string &line : debug) said = said || line == message;
            if (fault.function == "OpenPrinterW" || (fault.function == "DeletePrinterDataW" && said)) continue;
            found->push_back("printer data " + faults::Narrow(name) + " left");
        }
    }

    static bool PrinterDataExists(const WCHAR *name)
    {
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!OpenPrinterW(const_cast<WCHAR *>(scenario::PrinterName()), &printer, &defaults)) return false;
        DWORD type = 0;
        DWORD needed = 0;
        DWORD status = GetPrinterDataW(printer, const_cast<WCHAR *>(name), &type, nullptr, 0, &needed);
        ClosePrinter(printer);
        return status == ERROR_MORE_DATA || status == ERROR_SUCCESS;
    }

    // Calls of `target` in one clean run of the sequence.
    long CleanCount(const char *target)
    {
        Prepare();
        long before = HostWinCallCount(target);
        GetParam().run(&inputs);
        return HostWinCallCount(target) - before;
    }

    void Report(const char *what, long covered, std::string detail)
    {
        if (silentExports != 0)
            detail += "; at " + std::to_string(silentExports) + " of them ConvertDevModeEx succeeded without a ticket";
        std::printf("fault sweep: %-66s %-8s %5ld failure points%s\n", GetParam().name, what, covered,
                    detail.c_str());
        std::fflush(stdout);
        EXPECT_EQ(failedPoints, 0) << "failure points with findings (the first 20 are shown above)";
    }

    // Every call of one category fails once: call by call, by name, so that
    // each run knows which call it was.
    void SweepCalls(const char *category, const char *const *calls, size_t count, const char *close)
    {
        long total = CleanCount(category);
        long closes = CleanCount(close);
        long covered = 0;
        std::string detail;
        for (size_t i = 0; i < count; ++i) {
            long n = CleanCount(calls[i]);
            for (long k = 1; k <= n; ++k) RunWith({category, calls[i], k});
            covered += n;
            if (n > 0) detail += std::string(detail.empty() ? " (" : ", ") + calls[i] + " " + std::to_string(n);
        }
        if (!detail.empty()) detail += ")";
        // The names above must be all that the category counts.
        EXPECT_EQ(covered, total - closes) << category << " calls that no name above accounts for";
        Report(category, covered, detail);
    }

    Inputs inputs = Inputs();
    long failedPoints = 0;
    long silentExports = 0;
};

TEST_P(FaultSweep, RunsCleanWithoutAFault)
{
    const Outcome outcome = RunWith({});
    EXPECT_EQ(failedPoints, 0);
    for (const faults::StepResult &step : outcome.steps) {
        if (step.hasResult) {
            EXPECT_EQ(step.result, ConvertAPISuccess) << step.exportName;
        }
    }
    if (!inputs.exported.empty()) {
        FILE *file = std::fopen(faults::Narrow(inputs.exported).c_str(), "rb");
        EXPECT_NE(file, nullptr) << "no ticket was exported";
        if (file != nullptr) std::fclose(file);
    }
}

TEST_P(FaultSweep, EveryAllocationFailsOnce)
{
    long total = CleanCount("alloc");
    for (long k = 1; k <= total; ++k) RunWith({"alloc", "", k});
    Report("alloc", total, "");
}

TEST_P(FaultSweep, EveryRegistryCallFailsOnce)
{
    SweepCalls("registry", kRegistryCalls, sizeof(kRegistryCalls) / sizeof(kRegistryCalls[0]), "RegCloseKey");
}

TEST_P(FaultSweep, EverySpoolerCallFailsOnce)
{
    SweepCalls("spooler", kSpoolerCalls, sizeof(kSpoolerCalls) / sizeof(kSpoolerCalls[0]), "ClosePrinter");
}

TEST_P(FaultSweep, NoGuidCanBeCreated)
{
    long total = CleanCount("guid");
    for (long k = 1; k <= total; ++k) RunWith({"guid", "", k});
    Report("guid", total, "");
}

INSTANTIATE_TEST_SUITE_P(Sequences, FaultSweep, ::testing::ValuesIn(faults::Sequences()),
                         [](const ::testing::TestParamInfo<Sequence> &info) { return std::string(info.param.name); });

}  // namespace
