// What the conversion scenarios share: the stand-in driver's DEVMODEW, the
// request keys as the driver names them, and the ticket files. Win32 calls
// only, so that the scenarios run unchanged under Wine.
#pragma once

#include "convertapi.h"
#include "standins/driver/standin_devmode.h"
#include "tests/support/scenario_environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace conversion {

using scenario::WString;

inline const GUID kNull = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

inline bool SameGuid(const GUID &a, const GUID &b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

// A new instance on the scenario printer; a failure is the test's, and the
// GUID it then returns is GUID_NULL.
inline GUID InitializeInstance()
{
    GUID guid = kNull;
    EXPECT_EQ(InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &guid), ConvertAPISuccess);
    return guid;
}

// The printer driver's own default DEVMODEW, with its free tag block.
inline bool DefaultDevmode(StandinDevmode *devmode)
{
    std::memset(devmode, 0, sizeof(*devmode));
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<WCHAR *>(scenario::PrinterName()), &printer, nullptr)) return false;
    LONG answer = DocumentPropertiesW(nullptr, printer, const_cast<WCHAR *>(scenario::PrinterName()), &devmode->pub,
                                      nullptr, DM_OUT_BUFFER);
    ClosePrinter(printer);
    return answer == IDOK && devmode->pub.dmSize == 220 &&
           devmode->pub.dmDriverExtra == sizeof(StandinDevmodePrivate);
}

inline DWORD DevmodeSize(const StandinDevmode &devmode)
{
    return static_cast<DWORD>(devmode.pub.dmSize) + devmode.pub.dmDriverExtra;
}

inline const BYTE *TagSlot(const StandinDevmode &devmode) { return devmode.priv.tagBlock + 32; }

inline bool TagSlotFree(const StandinDevmode &devmode)
{
    static const BYTE zero[16] = {};
    return std::memcmp(TagSlot(devmode), zero, 16) == 0;
}

inline bool TagSlotHolds(const StandinDevmode &devmode, const GUID &guid)
{
    return std::memcmp(TagSlot(devmode), &guid, 16) == 0;
}

using Settings = std::vector<std::pair<WString, WString>>;

// The private settings: name and value pairs ended by an empty name.
inline void SetPrivateSettings(StandinDevmode *devmode, const Settings &settings)
{
    WString area;
    for (const auto &pair : settings) {
        area += pair.first;
        area.push_back(0);
        area += pair.second;
        area.push_back(0);
    }
    area.push_back(0);
    std::memset(devmode->priv.settings, 0, sizeof(devmode->priv.settings));
    std::memcpy(devmode->priv.settings, area.data(), area.size() * sizeof(WCHAR));
    devmode->priv.settingsChars = static_cast<DWORD>(area.size());
}

inline Settings PrivateSettings(const StandinDevmode &devmode)
{
    Settings settings;
    DWORD pos = 0;
    const WCHAR *name = nullptr;
    const WCHAR *value = nullptr;
    while (StandinDevmodeNextSetting(devmode.priv.settings, devmode.priv.settingsChars, &pos, &name, &value))
        settings.emplace_back(name, value);
    return settings;
}

inline WString Text(const char *ascii) { return scenario::Widen(ascii); }

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", as the registry names the key.
inline WString GuidText(const GUID &guid)
{
    char text[64];
    std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return Text(text);
}

inline WString ProcessIdText() { return Text(std::to_string(GetCurrentProcessId()).c_str()); }

// Key names below Software\Varnholt.
inline WString GuidKeyName(const GUID &guid) { return TEXT("QXProcID") + GuidText(guid); }
inline WString ProcessIdKeyName() { return TEXT("QXProcID") + ProcessIdText(); }
inline const WString kFallbackKeyName = TEXT("QXProcIDFallback");

inline WString Below(const WString &name) { return TEXT("Software\\Varnholt\\") + name; }

// No request of any kind stands: neither key form, no fallback key, no
// request printer data.
inline void ExpectNoRequest(const GUID &guid)
{
    EXPECT_FALSE(scenario::KeyExists(Below(GuidKeyName(guid))));
    EXPECT_FALSE(scenario::KeyExists(Below(ProcessIdKeyName())));
    EXPECT_FALSE(scenario::KeyExists(Below(kFallbackKeyName)));
    EXPECT_FALSE(scenario::PrinterDataExists(scenario::PrinterName(), TEXT("AlwaysExport")));
    EXPECT_FALSE(scenario::PrinterDataExists(scenario::PrinterName(), TEXT("ExportTicketLocation")));
}

// The lines of one of the driver's snapshots, sorted: the registry's order of
// keys is its own business.
inline std::vector<WString> SortedLines(const WCHAR *snapshot)
{
    std::vector<WString> lines;
    WString text(snapshot);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(TEXT('\n'), start);
        if (end == WString::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

inline std::vector<std::string> Narrowed(const std::vector<WString> &lines)
{
    std::vector<std::string> narrow;
    for (const WString &line : lines) narrow.push_back(scenario::Narrow(line));
    return narrow;
}

// The one document call of the driver's record, or null.
inline const StandinDriverCall *DocumentCall()
{
    const StandinDriverCall *found = nullptr;
    for (LONG i = 0; i < scenario::Driver().CallCount(); ++i) {
        const StandinDriverCall *call = scenario::Driver().Call(i);
        if (call->kind == StandinCallDeviceProperties) continue;
        if (found != nullptr) return nullptr;
        found = call;
    }
    return found;
}

inline bool ReadFile(const WString &path, std::string *content)
{
    FILE *file = std::fopen(scenario::Narrow(path).c_str(), "rb");
    if (file == nullptr) return false;
    content->clear();
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) content->append(buffer, got);
    std::fclose(file);
    return true;
}

inline bool WriteFile(const WString &path, const std::string &content)
{
    FILE *file = std::fopen(scenario::Narrow(path).c_str(), "wb");
    if (file == nullptr) return false;
    bool done = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && done;
}

inline void RemoveFile(const WString &path) { std::remove(scenario::Narrow(path).c_str()); }

inline std::string FeatureLine(const char *name, const char *value)
{
    return std::string("<Feature name=\"") + name + "\" value=\"" + value + "\"/>";
}

// The features of one section of a ticket file the driver wrote, as lines.
inline std::string Section(const std::string &ticket, const char *name)
{
    const std::string open = std::string("<Section name=\"") + name + "\"";
    size_t start = ticket.find(open);
    if (start == std::string::npos) return std::string();
    size_t end = ticket.find("</Section>", start);
    return ticket.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace conversion
