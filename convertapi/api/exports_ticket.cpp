// A ticket file applied to a DEVMODEW (self-contained and through an instance).
#include "convertapi.h"

#include "convertapi/api/devmode_tagger.h"
#include "convertapi/api/global_converter.h"
#include "convertapi/common/constants.h"
#include "convertapi/common/null_guid.h"
#include "convertapi/engine/converter.h"

#include <new>

using convertapi::Converter;
using convertapi::DevmodeTagger;
using convertapi::GlobalConverter;
using convertapi::IsNullGuid;
using convertapi::kNullGuid;

void CONVERTAPI_CALL ConvertTicket(const WCHAR *printerName, const WCHAR *ticketPath, DEVMODEW *devmode,
                                   const WCHAR *ticketManager, DWORD ticketType)
{
    Converter *converter = new (std::nothrow) Converter();
    if (converter == nullptr) return;

    if (converter->Open(printerName, ticketManager)) {
        converter->SetTicketType(ticketType);
        if (converter->SetTicketPath(ticketPath)) {
            converter->PublishRequest(kNullGuid);
            if (converter->TransferTicket(kNullGuid))
                converter->InvokeDriver(devmode,
                                        convertapi::kFlagPrinterProperties | convertapi::kFlagDocumentProperties, 0,
                                        kNullGuid);
            converter->WithdrawRequest(kNullGuid);
        }
    }
    delete converter;
}

DWORD CONVERTAPI_CALL ReadTicket(DWORD ticketType, const WCHAR *ticketPath, GUID instanceGuid)
{
    if (IsNullGuid(instanceGuid)) return ConvertAPINullGuid;

    Converter &converter = GlobalConverter();
    converter.SetTicketType(ticketType);
    // A path that cannot be stored leaves no path at all, so that an earlier
    // ticket is not read again in its place.
    if (!converter.SetTicketPath(ticketPath)) converter.SetTicketPath(TEXT(""));
    converter.PublishRequest(instanceGuid);
    if (!converter.TransferTicket(instanceGuid)) return ConvertAPITicketNotRead;
    return ConvertAPISuccess;
}

DWORD CONVERTAPI_CALL ConvertTicketEx(DEVMODEW *devmode, GUID instanceGuid, DWORD flags)
{
    if (devmode == nullptr) return ConvertAPINoDevmode;
    if (IsNullGuid(instanceGuid)) return ConvertAPINullGuid;

    // One size for both tag operations, whatever the driver does in between.
    const DWORD size = static_cast<DWORD>(devmode->dmSize) + static_cast<DWORD>(devmode->dmDriverExtra);
    BYTE *bytes = reinterpret_cast<BYTE *>(devmode);
    DevmodeTagger tagger;
    if (!tagger.StampDevmodeTag(bytes, size, instanceGuid)) return ConvertAPITagNotStamped;

    if (!GlobalConverter().InvokeDriver(devmode, flags, 1, instanceGuid)) {
        // A failed call leaves no tag behind: the driver would otherwise take
        // the caller's next use of this DEVMODEW for part of this instance.
        tagger.ClearDevmodeTag(bytes, size, instanceGuid);
        return ConvertAPIDriverFailed;
    }
    if (!tagger.ClearDevmodeTag(bytes, size, instanceGuid)) return ConvertAPITagNotCleared;
    return ConvertAPISuccess;
}
