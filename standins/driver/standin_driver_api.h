// The stand-in printer driver's test interface: a record of every call the
// spooler made into it, and a switch for its answer. Tests reach these
// exports with GetProcAddress on the loaded driver module.
#pragma once

#include "convertapi/common/platform.h"

#define STANDIN_DRIVER_MAX_CALLS 32
#define STANDIN_DRIVER_SNAPSHOT_CHARS 4096

enum StandinDriverCallKind {
    StandinCallDocumentProperties = 1,      // DrvDocumentPropertySheets, property-sheet path (PROPSHEETUI_REASON_INIT)
    StandinCallDocumentPropertiesNoUi = 2,  // DrvDocumentPropertySheets with no PROPSHEETUI_INFO
    StandinCallDeviceProperties = 3,        // DrvDevicePropertySheets
};

// How an import came by its features (StandinDriverCall::readTicketItself).
enum StandinTicketRead {
    StandinTicketNotRead = 0,     // from the driver data (or there was no import)
    StandinTicketRead = 1,        // the request had no driver data: the driver read the ticket itself
    StandinTicketReadFailed = 2,  // it tried and failed: nothing was applied
};

enum StandinDriverAnswer {
    StandinAnswerOk = 0,      // do the work, answer OK
    StandinAnswerCancel = 1,  // change nothing, answer cancel
    StandinAnswerError = 2,   // change nothing, answer an error
    // Added after the first agreement:
    StandinAnswerOkDropTag = 3,  // as OK, but the DEVMODEW handed back has its tag slot emptied (document call)
};

struct StandinDriverCall {
    LONG kind;              // StandinDriverCallKind
    DWORD mode;             // fMode of a document call; 0 for a device call
    LONG tagFound;          // the DEVMODEW handed in carries a tag block
    GUID tagSlot;           // that block's instance slot when the call came in
    LONG requestFound;      // 0 none, 1 process key named by the tag's GUID, 2 process key named through the fallback key
    WCHAR processKey[256];  // the process key the driver read (relative to HKEY_CURRENT_USER)
    LONG exportMode;        // the request asked for an export ("ProcessingConvertDevmode" = "TRUE")
    LONG result;            // what the driver answered
    // Every value below HKEY_CURRENT_USER\Software\Varnholt at the time of the
    // call, one line each: "<key path below Software\Varnholt>|<value name>|<data>\n",
    // keys and values in registry order; REG_SZ as text, REG_DWORD in decimal,
    // other types as hexadecimal bytes.
    WCHAR registry[STANDIN_DRIVER_SNAPSHOT_CHARS];
    // The printer's "AlwaysExport" and "ExportTicketLocation" data at the time
    // of the call: "AlwaysExport=<decimal>\nExportTicketLocation=<text>\n",
    // a line only for a value that exists.
    WCHAR printerData[512];
    // Added after the first agreement:
    LONG droppedFeatures;    // import features the driver could not keep (see docs/standin-driver.md)
    LONG registryTruncated;  // `registry` ends early: the values did not all fit
    LONG readTicketItself;   // StandinTicketRead: where an import's features came from
};

#ifdef __cplusplus
extern "C" {
#endif
typedef LONG(WINAPI *StandinDriverCallCountProc)(void);
typedef const StandinDriverCall *(WINAPI *StandinDriverGetCallProc)(LONG index);
typedef void(WINAPI *StandinDriverResetProc)(void);
typedef void(WINAPI *StandinDriverSetAnswerProc)(LONG answer);
#ifdef __cplusplus
}
#endif
// Export names: "StandinDriverCallCount", "StandinDriverGetCall",
// "StandinDriverReset" (forget every call, answer OK again),
// "StandinDriverSetAnswer".
