#include "bench/conversion_cases.h"

#include "bench/bench_environment.h"
#include "bench/floor_calls.h"
#include "convertapi.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace bench {

const size_t kFeatureCounts[3] = {10, 100, 1000};

namespace {

const DWORD kTicketType = 1;
const WCHAR kTicketTypeText[] = TEXT("1");
// DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER, as the library calls the driver.
const DWORD kDocumentMode = 14;

// What one conversion works on: the ticket, its file and a DEVMODEW of the
// printer, put back before every conversion so each starts alike.
struct Fixture {
    Ticket ticket;
    std::string path;
    WString widePath;
    std::vector<BYTE> pristine;
    std::vector<BYTE> devmode;
    size_t slotOffset = 0;  // the instance slot of the driver's tag block

    DEVMODEW *Devmode() { return reinterpret_cast<DEVMODEW *>(devmode.data()); }
    void Restore() { std::memcpy(devmode.data(), pristine.data(), pristine.size()); }
};

// The printer's default DEVMODEW, as an application gets it.
bool DefaultDevmode(std::vector<BYTE> *out)
{
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<WCHAR *>(PrinterName()), &printer, nullptr)) return false;
    LONG size = DocumentPropertiesW(nullptr, printer, const_cast<WCHAR *>(PrinterName()), nullptr, nullptr, 0);
    bool done = false;
    if (size > 0) {
        out->assign(static_cast<size_t>(size), 0);
        done = DocumentPropertiesW(nullptr, printer, const_cast<WCHAR *>(PrinterName()),
                                   reinterpret_cast<DEVMODEW *>(out->data()), nullptr, DM_OUT_BUFFER) == IDOK;
    }
    ClosePrinter(printer);
    return done;
}

// The offset of the first free tag block's slot, found once before the clock
// runs; the floor writes the GUID there without searching.
bool FindSlot(const std::vector<BYTE> &bytes, size_t *offset)
{
    const BYTE signature[4] = {0x49, 0x50, 0x41, 0x43};
    for (size_t i = 0; i + 64 <= bytes.size(); ++i) {
        if (std::memcmp(&bytes[i], signature, 4) == 0) {
            *offset = i + 32;
            return true;
        }
    }
    return false;
}

struct Printer {
    HANDLE handle = nullptr;
    void Open()
    {
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!OpenPrinterW(const_cast<WCHAR *>(PrinterName()), &handle, &defaults)) handle = nullptr;
    }
    void Close()
    {
        if (handle != nullptr) ClosePrinter(handle);
        handle = nullptr;
    }
};

// The floor of ConvertTicket: bind, publish, transfer, both driver calls,
// withdraw, unbind.
struct ConvertTicketFloor {
    std::shared_ptr<Fixture> fixture;
    RequestKeys keys{ProcessKeyForProcess()};
    std::unique_ptr<WalkPlan> plan;
    std::unique_ptr<WalkBuffers> buffers;

    explicit ConvertTicketFloor(std::shared_ptr<Fixture> f) : fixture(std::move(f))
    {
        plan.reset(new WalkPlan(fixture->ticket, keys.process));
        buffers.reset(new WalkBuffers(plan->Levels()));
    }

    void Run()
    {
        fixture->Restore();
        Printer printer;
        printer.Open();
        TicketLibraryEntries entries;
        LoadTicketLibrary(TicketLibraryPath(), &entries);
        const RequestText request = {TicketLibraryPath(), kTicketTypeText, PrinterName(), fixture->widePath.c_str()};
        FloorPublish(keys, request);
        FloorTransfer(entries, fixture->widePath.c_str(), *plan, *buffers);
        PrinterPropertiesEntry()(nullptr, printer.handle);
        DocumentPropertiesW(nullptr, printer.handle, const_cast<WCHAR *>(PrinterName()), fixture->Devmode(),
                            fixture->Devmode(), kDocumentMode);
        FloorWithdraw(keys);
        FreeTicketLibrary(&entries);
        printer.Close();
    }
};

// The floor of ReadTicket + ConvertTicketEx(FlagFromDriverData) on an
// instance that is already bound: publish and transfer under the instance's
// key; the GUID into the tag slot; the two probes; the property sheet inside
// a request under the process id; the document call; the slot emptied.
struct InstanceFloor {
    std::shared_ptr<Fixture> fixture;
    GUID guid = {};
    std::unique_ptr<RequestKeys> keys;
    RequestKeys processKeys{ProcessKeyForProcess()};
    std::unique_ptr<WalkPlan> plan;
    std::unique_ptr<WalkBuffers> buffers;
    Printer printer;
    TicketLibraryEntries entries;

    explicit InstanceFloor(std::shared_ptr<Fixture> f) : fixture(std::move(f)) {}

    void SetUp()
    {
        CoCreateGuid(&guid);
        keys.reset(new RequestKeys(ProcessKeyForGuid(guid)));
        plan.reset(new WalkPlan(fixture->ticket, keys->process));
        buffers.reset(new WalkBuffers(plan->Levels()));
        printer.Open();
        LoadTicketLibrary(TicketLibraryPath(), &entries);
    }

    void Run()
    {
        fixture->Restore();
        const RequestText request = {TicketLibraryPath(), kTicketTypeText, PrinterName(), fixture->widePath.c_str()};
        FloorPublish(*keys, request);
        FloorTransfer(entries, fixture->widePath.c_str(), *plan, *buffers);

        BYTE *slot = fixture->devmode.data() + fixture->slotOffset;
        std::memcpy(slot, &guid, sizeof(guid));
        const int sheet = FloorKeyExists(keys->physical.c_str());
        const int document = FloorKeyExists(keys->printing.c_str());
        if (sheet) {
            FloorPublish(processKeys, request);
            PrinterPropertiesEntry()(nullptr, printer.handle);
            FloorWithdraw(processKeys);
        }
        if (document)
            DocumentPropertiesW(nullptr, printer.handle, const_cast<WCHAR *>(PrinterName()), fixture->Devmode(),
                                fixture->Devmode(), kDocumentMode);
        std::memset(slot, 0, sizeof(guid));
    }

    void TearDown()
    {
        FloorWithdraw(*keys);
        FreeTicketLibrary(&entries);
        printer.Close();
    }
};

std::string FeatureLabel(size_t features) { return std::to_string(features) + " features"; }

}  // namespace

bool AddConversionCases(std::vector<Case> *cases, std::vector<ConversionRow> *rows, std::vector<ScalingRow> *scaling)
{
    std::vector<BYTE> pristine;
    size_t slotOffset = 0;
    if (!DefaultDevmode(&pristine) || !FindSlot(pristine, &slotOffset)) {
        std::fprintf(stderr, "bench: the stand-in printer gives no DEVMODEW with a tag block\n");
        return false;
    }

    for (size_t features : kFeatureCounts) {
        auto fixture = std::make_shared<Fixture>();
        fixture->ticket = MakeTicket(features, kTicketDepth);
        fixture->path = TempFilePath(("ticket-" + std::to_string(features) + ".xml").c_str());
        fixture->widePath = TempFilePathWide(("ticket-" + std::to_string(features) + ".xml").c_str());
        fixture->pristine = pristine;
        fixture->devmode = pristine;
        fixture->slotOffset = slotOffset;
        if (!WriteTicketFile(fixture->ticket, fixture->path)) {
            std::fprintf(stderr, "bench: cannot write %s\n", fixture->path.c_str());
            return false;
        }
        const std::string label = FeatureLabel(features);

        Case convert;
        convert.name = "ConvertTicket/" + label;
        convert.run = [fixture] {
            fixture->Restore();
            ConvertTicket(PrinterName(), fixture->widePath.c_str(), fixture->Devmode(), TicketLibraryPath(),
                          kTicketType);
        };
        auto convertFloor = std::make_shared<ConvertTicketFloor>(fixture);
        Case convertFloorCase;
        convertFloorCase.name = "ConvertTicket floor/" + label;
        convertFloorCase.run = [convertFloor] { convertFloor->Run(); };

        auto guid = std::make_shared<GUID>();
        Case instance;
        instance.name = "ReadTicket+ConvertTicketEx/" + label;
        instance.setUp = [guid] { InitializeConvertAPI(PrinterName(), TicketLibraryPath(), guid.get()); };
        instance.run = [fixture, guid] {
            fixture->Restore();
            ReadTicket(kTicketType, fixture->widePath.c_str(), *guid);
            ConvertTicketEx(fixture->Devmode(), *guid, FlagFromDriverData);
        };
        instance.tearDown = [guid] { KillConvertAPI(*guid); };
        auto instanceFloor = std::make_shared<InstanceFloor>(fixture);
        Case instanceFloorCase;
        instanceFloorCase.name = "ReadTicket+ConvertTicketEx floor/" + label;
        instanceFloorCase.setUp = [instanceFloor] { instanceFloor->SetUp(); };
        instanceFloorCase.run = [instanceFloor] { instanceFloor->Run(); };
        instanceFloorCase.tearDown = [instanceFloor] { instanceFloor->TearDown(); };

        for (const Case &c : {convert, convertFloorCase, instance, instanceFloorCase}) cases->push_back(c);
        rows->push_back({"ConvertTicket, " + label, convert.name, convertFloorCase.name, features == 1000});
        rows->push_back({"ReadTicket + ConvertTicketEx, " + label, instance.name, instanceFloorCase.name,
                         features == 1000});
    }
    scaling->push_back({"ConvertTicket, 1000 / 100 features", "ConvertTicket/1000 features",
                        "ConvertTicket/100 features", "ConvertTicket floor/1000 features",
                        "ConvertTicket floor/100 features"});
    scaling->push_back({"ReadTicket + ConvertTicketEx, 1000 / 100 features",
                        "ReadTicket+ConvertTicketEx/1000 features", "ReadTicket+ConvertTicketEx/100 features",
                        "ReadTicket+ConvertTicketEx floor/1000 features",
                        "ReadTicket+ConvertTicketEx floor/100 features"});
    return true;
}

namespace {

const char *const kCountedFunctions[] = {
    "RegOpenKeyExW",  "RegCreateKeyExW",  "RegSetValueExW",      "RegQueryValueExW",  "RegEnumValueW",
    "RegDeleteValueW", "RegDeleteKeyW",   "RegCloseKey",         "OpenPrinterW",      "ClosePrinter",
    "GetPrinterDataW", "SetPrinterDataW", "DeletePrinterDataW",  "DocumentPropertiesW", "PrinterProperties",
    "LoadLibraryW",    "GetProcAddress",  "FreeLibrary",
};
const char *const kCountedEntryPoints[] = {
    "DllRegisterServer", "DllUnregisterServer", "ZELStartConfig", "ZELEndConfig",
    "ZELSetContext",     "ZELEnumFeatures",     "ZELEnumListToken", "ZELGet",
};

struct Counts {
    std::vector<long> values;
    static Counts Take()
    {
        Counts counts;
        for (const char *name : kCountedFunctions) counts.values.push_back(PlatformCallCount(name));
        for (const char *name : kCountedEntryPoints) counts.values.push_back(TicketLibraryCallCount(name));
        counts.values.push_back(DriverCallCount());
        return counts;
    }
    static const char *Name(size_t i)
    {
        const size_t functions = sizeof(kCountedFunctions) / sizeof(kCountedFunctions[0]);
        const size_t entries = sizeof(kCountedEntryPoints) / sizeof(kCountedEntryPoints[0]);
        if (i < functions) return kCountedFunctions[i];
        if (i < functions + entries) return kCountedEntryPoints[i - functions];
        return "driver calls";
    }
};

// The calls one set-up, one iteration and one tear-down of `c` make.
Counts CallsOf(const Case &c)
{
    const Counts before = Counts::Take();
    c.setUp();
    c.run();
    c.tearDown();
    Counts after = Counts::Take();
    for (size_t i = 0; i < after.values.size(); ++i)
        after.values[i] = before.values[i] < 0 ? -1 : after.values[i] - before.values[i];
    return after;
}

const Case *Find(const std::vector<Case> &cases, const std::string &name)
{
    for (const Case &c : cases)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace

bool CheckFloorCalls(const std::vector<Case> &cases, const std::vector<ConversionRow> &rows, std::string *summary)
{
    bool same = true;
    long compared = 0;
    long calls = 0;
    for (const ConversionRow &row : rows) {
        const Case *library = Find(cases, row.library);
        const Case *floor = Find(cases, row.floor);
        if (library == nullptr || floor == nullptr) continue;
        // Once each first, so that both start from the same state.
        CallsOf(*library);
        CallsOf(*floor);
        const Counts a = CallsOf(*library);
        const Counts b = CallsOf(*floor);
        for (size_t i = 0; i < a.values.size(); ++i) {
            if (a.values[i] < 0 || b.values[i] < 0) continue;
            ++compared;
            calls += a.values[i];
            if (a.values[i] != b.values[i]) {
                same = false;
                std::fprintf(stderr, "bench: %s: %s called %ld times by the library, %ld by the floor\n",
                             row.label.c_str(), Counts::Name(i), a.values[i], b.values[i]);
            }
        }
    }
    char text[160];
    if (compared == 0)
        std::snprintf(text, sizeof(text), "not counted on this platform");
    else
        std::snprintf(text, sizeof(text), "%s (%ld calls of %zu functions and entry points compared)",
                      same ? "the same calls" : "DIFFERENT calls", calls,
                      sizeof(kCountedFunctions) / sizeof(kCountedFunctions[0]) +
                          sizeof(kCountedEntryPoints) / sizeof(kCountedEntryPoints[0]) + 1);
    *summary = text;
    return same;
}

}  // namespace bench
