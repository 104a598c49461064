// Installs the stand-in driver as a real printer driver of the Wine prefix and
// adds the two printers that the scenario tests use, both on port "FILE:".
// scripts/wine-prefix.sh runs it once after creating the prefix.
// usage: setup_printers.exe <path of standin_driver.dll>
// Exit code 0 when both printers exist afterwards.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>

namespace {

using WString = std::basic_string<WCHAR>;

const WCHAR kDriverName[] = TEXT("Standin Driver");
const WCHAR *const kPrinters[] = {TEXT("Standin Printer"), TEXT("Standin Restricted")};

WString FileName(const WString &path)
{
    const size_t slash = path.find_last_of(TEXT("\\/"));
    return slash == WString::npos ? path : path.substr(slash + 1);
}

bool InstallDriver(const WString &source)
{
    WCHAR directory[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE *>(directory), sizeof(directory),
                                    &needed)) {
        std::fprintf(stderr, "GetPrinterDriverDirectoryW failed: %lu\n", GetLastError());
        return false;
    }
    // The spooler takes the driver's files from its directory by bare name
    // and copies them on into the version folder (...\x64\3).
    WString file = FileName(source);
    WString target = WString(directory) + TEXT("\\") + file;
    if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        std::fprintf(stderr, "CopyFileW to the driver directory failed: %lu\n", GetLastError());
        return false;
    }
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = const_cast<WCHAR *>(kDriverName);
    info.pDriverPath = &file[0];
    info.pDataFile = &file[0];
    info.pConfigFile = &file[0];  // the module that DocumentPropertiesW calls
    info.pDefaultDataType = const_cast<WCHAR *>(TEXT("RAW"));
    if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE *>(&info)) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        std::fprintf(stderr, "AddPrinterDriverW failed: %lu\n", GetLastError());
        return false;
    }
    return true;
}

bool AddStandinPrinter(const WCHAR *name)
{
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<WCHAR *>(name);
    info.pPortName = const_cast<WCHAR *>(TEXT("FILE:"));
    info.pDriverName = const_cast<WCHAR *>(kDriverName);
    info.pPrintProcessor = const_cast<WCHAR *>(TEXT("WinPrint"));
    info.pDatatype = const_cast<WCHAR *>(TEXT("RAW"));
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE *>(&info));
    if (printer) {
        ClosePrinter(printer);
        return true;
    }
    if (GetLastError() == ERROR_PRINTER_ALREADY_EXISTS) return true;
    std::fprintf(stderr, "AddPrinterW failed: %lu\n", GetLastError());
    return false;
}

}  // namespace

int wmain(int argc, WCHAR **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: setup_printers.exe <standin_driver.dll>\n");
        return 2;
    }
    if (!InstallDriver(argv[1])) return 1;
    for (const WCHAR *name : kPrinters) {
        if (!AddStandinPrinter(name)) return 1;
    }
    return 0;
}
