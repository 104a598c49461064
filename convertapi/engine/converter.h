// Converter: binds one printer to one ticket library and carries the current
// request. Binding and setters live in converter.cpp; publishing and
// withdrawing requests in handshake.cpp; driver calls in driver_invocation.cpp;
// the ticket walk in ticket_transfer.cpp.
#pragma once

#include "convertapi/common/platform.h"

namespace convertapi {

class TicketLibrary;

class Converter {
public:
    Converter();
    ~Converter();
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Binding and setters.
    int Open(const WCHAR *printerName, const WCHAR *ticketManager);
    int Close();
    int SetPrinterName(const WCHAR *text);
    int SetTicketPath(const WCHAR *text);
    int SetTicketManager(const WCHAR *text);
    int SetTicketType(DWORD value);
    void SetExportMode(int value);
    int IsExportMode() const;
    static int DuplicateString(const WCHAR *source, WCHAR **target);
    static int OpenPrinterHandle(const WCHAR *printerName, HANDLE *handleOut, int administer);

    // Handshake: the request in the registry and in printer data.
    void PublishRequest(GUID guid);
    void WithdrawRequest(GUID guid);
    static int BuildProcessKeyPath(GUID guid, WCHAR **pathOut);
    static int BuildFallbackKeyPath(WCHAR **pathOut);
    static int WriteStringValue(const WCHAR *keyPath, const WCHAR *valueName, const WCHAR *text);
    static int WriteDwordValue(const WCHAR *keyPath, const WCHAR *valueName, DWORD value);

    // Driver invocation.
    int InvokeDriver(DEVMODEW *devmode, DWORD flags, int wrap, GUID guid);
    int HasPhysicalData(GUID guid);
    int HasPrintingData(GUID guid);
    static int KeyExists(const WCHAR *subKeyPath);

    // Ticket-to-registry transfer.
    int TransferTicket(GUID guid);
    int TransferSections(const WCHAR *basePath);
    int TransferSection(const WCHAR *contextName, const WCHAR *basePath);
    int WriteFeatureValue(const WCHAR *name, const WCHAR *value, const WCHAR *basePath);

    // Fields, in their documented order.
    int exportMode;
    DWORD ticketType;
    WCHAR *printerName;
    WCHAR *ticketPath;
    WCHAR *ticketManager;
    const WCHAR *currentSection;
    TicketLibrary *ticketLibrary;
    HANDLE printer;

private:
    int SetOwnedString(WCHAR **field, const WCHAR *text);
    int HasDriverDataKey(GUID guid, const WCHAR *subkey);
};

// Driver-call flags.
constexpr DWORD kFlagPrinterProperties = 1;
constexpr DWORD kFlagDocumentProperties = 2;
constexpr DWORD kFlagFromDriverData = 4;

}  // namespace convertapi
