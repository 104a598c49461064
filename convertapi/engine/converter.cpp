// Converter: construction, the binding to a printer and a ticket library, and
// the setters of the request's parameters.
#include "convertapi/engine/converter.h"

#include "convertapi/common/bounded_string.h"
#include "convertapi/ticketlib/ticket_library.h"

#include <new>

namespace convertapi {

Converter::Converter()
    : exportMode(0),
      ticketType(0),
      printerName(nullptr),
      ticketPath(nullptr),
      ticketManager(nullptr),
      currentSection(nullptr),
      ticketLibrary(nullptr),
      printer(nullptr)
{
}

Converter::~Converter() { Close(); }

int Converter::Open(const WCHAR *printerNameText, const WCHAR *ticketManagerText)
{
    if (printerNameText == nullptr || ticketManagerText == nullptr) return 0;

    // A repeated binding replaces the earlier one instead of leaking its
    // ticket library and printer handle. The library goes first: it borrows
    // the handle.
    delete ticketLibrary;
    ticketLibrary = nullptr;
    if (printer != nullptr) {
        ClosePrinter(printer);
        printer = nullptr;
    }

    if (!SetTicketManager(ticketManagerText)) return 0;
    if (!SetPrinterName(printerNameText)) return 0;
    if (!OpenPrinterHandle(printerName, &printer, 1)) return 0;
    ticketLibrary = new (std::nothrow) TicketLibrary();
    if (ticketLibrary == nullptr) return 0;
    if (!ticketLibrary->Open(printer, printerName, ticketManager)) return 0;
    return 1;
}

int Converter::Close()
{
    delete[] printerName;
    printerName = nullptr;
    delete[] ticketPath;
    ticketPath = nullptr;
    delete[] ticketManager;
    ticketManager = nullptr;
    delete ticketLibrary;  // before the printer: it holds the handle without owning it
    ticketLibrary = nullptr;
    if (printer != nullptr) {
        ClosePrinter(printer);
        printer = nullptr;
    }
    return 1;
}

int Converter::SetPrinterName(const WCHAR *text) { return SetOwnedString(&printerName, text); }

int Converter::SetTicketPath(const WCHAR *text) { return SetOwnedString(&ticketPath, text); }

int Converter::SetTicketManager(const WCHAR *text) { return SetOwnedString(&ticketManager, text); }

int Converter::SetTicketType(DWORD value)
{
    ticketType = value;
    return 1;
}

void Converter::SetExportMode(int value) { exportMode = value; }

int Converter::IsExportMode() const { return exportMode; }

int Converter::SetOwnedString(WCHAR **field, const WCHAR *text)
{
    if (text == nullptr) return 0;
    // Copied before the old string goes, so that `text` may be the field's own
    // string; a failed copy still leaves the field empty.
    WCHAR *copy = nullptr;
    int copied = DuplicateString(text, &copy);
    delete[] *field;
    *field = copy;
    return copied;
}

int Converter::DuplicateString(const WCHAR *source, WCHAR **target)
{
    if (source == nullptr || target == nullptr) return 0;
    size_t length = 0;
    if (FAILED(BoundedLength(source, kBoundedMaxCapacity, &length)) || length == 0) return 0;
    WCHAR *copy = new (std::nothrow) WCHAR[length + 1]();
    if (copy == nullptr) return 0;
    if (FAILED(BoundedCopy(copy, length + 1, source))) {
        delete[] copy;
        return 0;
    }
    delete[] *target;
    *target = copy;
    return 1;
}

int Converter::OpenPrinterHandle(const WCHAR *name, HANDLE *handleOut, int administer)
{
    if (name == nullptr || handleOut == nullptr) return 0;
    PRINTER_DEFAULTSW defaults = {};
    defaults.pDatatype = nullptr;
    defaults.pDevMode = nullptr;
    defaults.DesiredAccess = administer != 0 ? PRINTER_ALL_ACCESS : 0;
    if (!OpenPrinterW(const_cast<LPWSTR>(name), handleOut, &defaults)) {
        // Never leave a stale value behind that a later Close would pass to ClosePrinter.
        *handleOut = nullptr;
        return 0;
    }
    return 1;
}

}  // namespace convertapi
