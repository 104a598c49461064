// DEVMODEW into a ticket file (self-contained and through an instance), and
// the end of an instance.
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

void CONVERTAPI_CALL ConvertDevmode(const WCHAR *printerName, const WCHAR *ticketPath, DEVMODEW *devmode,
                                    const WCHAR *ticketManager, DWORD ticketType)
{
    Converter *converter = new (std::nothrow) Converter();
    if (converter == nullptr) return;

    if (converter->Open(printerName, ticketManager)) {
        converter->SetTicketType(ticketType);
        if (converter->SetTicketPath(ticketPath)) {
            converter->SetExportMode(1);
            converter->PublishRequest(kNullGuid);
            converter->InvokeDriver(devmode, convertapi::kFlagPrinterProperties | convertapi::kFlagDocumentProperties,
                                    0, kNullGuid);
            converter->WithdrawRequest(kNullGuid);
            converter->SetExportMode(0);
        }
    }
    delete converter;
}

DWORD CONVERTAPI_CALL ConvertDevModeEx(const WCHAR *ticketPath, DEVMODEW *devmode, GUID instanceGuid, DWORD flags)
{
    if (devmode == nullptr) return ConvertAPINoDevmode;
    if (IsNullGuid(instanceGuid)) return ConvertAPINullGuid;

    // One size for both tag operations, whatever the driver does in between.
    const DWORD size = static_cast<DWORD>(devmode->dmSize) + static_cast<DWORD>(devmode->dmDriverExtra);
    BYTE *bytes = reinterpret_cast<BYTE *>(devmode);
    DevmodeTagger tagger;
    if (!tagger.StampDevmodeTag(bytes, size, instanceGuid)) return ConvertAPITagNotStamped;

    Converter &converter = GlobalConverter();
    // A path that cannot be stored must not leave an earlier request's path in
    // place: the driver would overwrite that file instead.
    if (!converter.SetTicketPath(ticketPath)) converter.SetTicketPath(TEXT(""));
    converter.SetExportMode(1);
    converter.PublishRequest(instanceGuid);
    converter.PublishRequest(kNullGuid);

    if (!converter.InvokeDriver(devmode, flags, 1, kNullGuid)) {
        // Nothing of the failed export may stand: the key named by the
        // process id is shared by every conversion of the process, and the
        // driver would take the next one published there for this export;
        // the tag would make it take the caller's next use of this DEVMODEW
        // for part of it. KillConvertAPI then finds nothing left to do.
        converter.WithdrawRequest(instanceGuid);
        converter.WithdrawRequest(kNullGuid);
        converter.SetExportMode(0);
        tagger.ClearDevmodeTag(bytes, size, instanceGuid);
        return ConvertAPIDriverFailed;
    }

    converter.WithdrawRequest(instanceGuid);
    converter.WithdrawRequest(kNullGuid);
    // The export is over either way: left on, the export mode would make the
    // instance's next ReadTicket publish an export, and the driver would write
    // over the very ticket that was to be read.
    converter.SetExportMode(0);
    if (!tagger.ClearDevmodeTag(bytes, size, instanceGuid)) return ConvertAPITagNotCleared;
    return ConvertAPISuccess;
}

DWORD CONVERTAPI_CALL KillConvertAPI(GUID instanceGuid)
{
    if (IsNullGuid(instanceGuid)) return ConvertAPINullGuid;
    Converter &converter = GlobalConverter();
    converter.WithdrawRequest(instanceGuid);
    converter.SetExportMode(0);
    converter.Close();
    return ConvertAPISuccess;
}
