// The driver module's entry points: what the spooler calls, and the test
// exports of standin_driver_api.h.
#include "call_record.h"
#include "devmode_image.h"
#include "driver_platform.h"
#include "driver_work.h"
#include "printer_data.h"
#include "property_page.h"
#include "standin_devmode.h"

using namespace standin_driver;

namespace {

// The sheet's answer: the call's result goes into info->Result, and the page
// makes the spooler report it; an error has no sheet.
LONG SheetAnswer(PROPSHEETUI_INFO *info, WorkResult result)
{
    if (result == WorkFailed) return ERR_CPSUI_GETLASTERROR;
    info->Result = result == WorkOk ? CPSUI_OK : CPSUI_CANCEL;
    return AddPropertyPage(info, result == WorkCancelled) ? 1 : ERR_CPSUI_GETLASTERROR;
}

// DocumentPropertiesW without DM_IN_PROMPT: no sheet, the result goes
// straight back to the caller.
LONG DocumentPropertiesNoSheet(DOCUMENTPROPERTYHEADER *header)
{
    Printer printer;
    if (header) printer.Use(header->hPrinter, header->pszPrinterName);
    StandinDriverCall *call = BeginCall(StandinCallDocumentPropertiesNoUi, header ? header->fMode : 0, printer);
    LONG result = -1;
    if (!header) {
        // Nothing to answer to.
    } else if (header->fMode == 0 || !header->pdmOut) {
        header->cbOut = kFullDevmodeSize;
        result = static_cast<LONG>(kFullDevmodeSize);
    } else {
        switch (DocumentWork(*header, printer, call)) {
        case WorkOk: result = IDOK; break;
        case WorkCancelled: result = IDCANCEL; break;
        case WorkFailed: result = -1; break;
        }
    }
    call->result = result;
    return result;
}

}  // namespace

STANDIN_DRIVER_EXPORT LONG WINAPI DrvDocumentPropertySheets(PROPSHEETUI_INFO *info, LPARAM lParam)
{
    if (!info) return DocumentPropertiesNoSheet(reinterpret_cast<DOCUMENTPROPERTYHEADER *>(lParam));
    if (info->Reason != PROPSHEETUI_REASON_INIT) return CPSUI_OK;

    DOCUMENTPROPERTYHEADER *header = reinterpret_cast<DOCUMENTPROPERTYHEADER *>(info->lParamInit);
    Printer printer;
    if (header) printer.Use(header->hPrinter, header->pszPrinterName);
    StandinDriverCall *call = BeginCall(StandinCallDocumentProperties, header ? header->fMode : 0, printer);
    LONG result = SheetAnswer(info, header ? DocumentWork(*header, printer, call) : WorkFailed);
    call->result = result;
    return result;
}

STANDIN_DRIVER_EXPORT LONG WINAPI DrvDevicePropertySheets(PROPSHEETUI_INFO *info, LPARAM)
{
    if (info && info->Reason != PROPSHEETUI_REASON_INIT) return CPSUI_OK;

    DEVICEPROPERTYHEADER *header = info ? reinterpret_cast<DEVICEPROPERTYHEADER *>(info->lParamInit) : nullptr;
    Printer printer;
    if (header) printer.Use(header->hPrinter, header->pszPrinterName);
    StandinDriverCall *call = BeginCall(StandinCallDeviceProperties, 0, printer);
    LONG result = info && header ? SheetAnswer(info, DeviceWork(printer, call)) : ERR_CPSUI_GETLASTERROR;
    call->result = result;
    return result;
}

STANDIN_DRIVER_EXPORT DWORD WINAPI DrvDeviceCapabilities(HANDLE, LPWSTR, WORD capability, void *output, DEVMODEW *)
{
    static const WORD kPapers[] = {DMPAPER_LETTER, DMPAPER_LEGAL, DMPAPER_A3, DMPAPER_A4, DMPAPER_A5};
    switch (capability) {
    case DC_SIZE: return sizeof(DEVMODEW);
    case DC_EXTRA: return sizeof(StandinDevmodePrivate);
    case DC_VERSION: return DM_SPECVERSION;
    case DC_DRIVER: return STANDIN_DEVMODE_DRIVER_VERSION;
    case DC_FIELDS:
        return DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_COLOR | DM_DUPLEX | DM_COLLATE;
    case DC_ORIENTATION: return 90;
    case DC_COPIES: return 32767;
    case DC_PAPERS: {
        const DWORD count = sizeof(kPapers) / sizeof(kPapers[0]);
        WORD *papers = static_cast<WORD *>(output);
        if (papers)
            for (DWORD i = 0; i < count; ++i) papers[i] = kPapers[i];
        return count;
    }
    default: return static_cast<DWORD>(GDI_ERROR);
    }
}

STANDIN_DRIVER_EXPORT LONG WINAPI StandinDriverCallCount(void) { return CallCount(); }

STANDIN_DRIVER_EXPORT const StandinDriverCall *WINAPI StandinDriverGetCall(LONG index) { return CallAt(index); }

STANDIN_DRIVER_EXPORT void WINAPI StandinDriverReset(void) { ResetCalls(); }

STANDIN_DRIVER_EXPORT void WINAPI StandinDriverSetAnswer(LONG answer) { SetAnswer(answer); }
