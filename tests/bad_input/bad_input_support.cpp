#include "tests/bad_input/bad_input_support.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace bad_input {
namespace {

void CollectKeys(const WString &path, std::string *out)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    std::vector<WString> children;
    for (DWORD index = 0;; ++index) {
        WCHAR name[512];
        DWORD chars = 512;
        if (RegEnumKeyExW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.emplace_back(name, chars);
    }
    RegCloseKey(key);
    for (const WString &child : children) {
        *out += "[" + scenario::Narrow(path + TEXT("\\") + child) + "] ";
        CollectKeys(path + TEXT("\\") + child, out);
    }
}

}  // namespace

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

bool TagSlotFree(const StandinDevmode &devmode)
{
    static const BYTE zero[16] = {};
    return std::memcmp(devmode.priv.tagBlock + 32, zero, 16) == 0;
}

WString TextOfLength(size_t length, WCHAR fill) { return WString(length, fill); }

WString PathOfLength(const WString &path, size_t length)
{
    WString rest = path.substr(1);  // without its leading '/'
    size_t padding = length - path.size();
    WString result = TEXT("/");
    for (; padding >= 2; padding -= 2) result += TEXT("./");
    if (padding == 1) result += TEXT("/");  // "//" names the same as "/"
    return result + rest;
}

bool WriteTextFile(const WString &path, const std::string &content)
{
    FILE *file = std::fopen(scenario::Narrow(path).c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && written;
}

bool FileExists(const WString &path)
{
    FILE *file = std::fopen(scenario::Narrow(path).c_str(), "rb");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

void RemoveFile(const WString &path) { std::remove(scenario::Narrow(path).c_str()); }

std::string Leftovers()
{
    std::string text;
    CollectKeys(TEXT("Software\\Varnholt"), &text);
    for (const WCHAR *name : {TEXT("AlwaysExport"), TEXT("ExportTicketLocation")})
        if (scenario::PrinterDataExists(scenario::PrinterName(), name)) text += "printer data " + scenario::Narrow(name) + " ";
    return text;
}

WString ProcessIdKey()
{
    return TEXT("Software\\Varnholt\\QXProcID") + scenario::Widen(std::to_string(GetCurrentProcessId()));
}

void BadInputTest::SetUp()
{
    ScenarioTest::SetUp();
    ASSERT_TRUE(DefaultDevmode(&devmode));
    scenario::Driver().Reset();
}

GUID BadInputTest::Initialize()
{
    GUID guid = kNull;
    EXPECT_EQ(InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &guid), ConvertAPISuccess);
    return guid;
}

}  // namespace bad_input
