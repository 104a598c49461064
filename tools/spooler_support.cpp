#include "spooler_support.h"

namespace convertapi_cli {

DeletePrinterDataProc SpoolerDeletePrinterData()
{
#ifdef _WIN32
    // Looked up rather than imported, so that this program never holds an
    // import that cannot be resolved.
    HMODULE spooler = GetModuleHandleW(TEXT("winspool.drv"));
    if (spooler == nullptr) spooler = LoadLibraryW(TEXT("winspool.drv"));
    if (spooler == nullptr) return nullptr;
    return reinterpret_cast<DeletePrinterDataProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(spooler, "DeletePrinterDataW")));
#else
    return &DeletePrinterDataW;
#endif
}

bool SpoolerCanWithdrawExport(const char *whose, std::ostream &err)
{
    if (SpoolerDeletePrinterData() != nullptr) return true;
    err << "convertapi: this spooler has no DeletePrinterDataW (Wine 8 lacks it); the library could not withdraw "
        << whose << " export's printer data, and would end the program trying\n";
    return false;
}

}  // namespace convertapi_cli
