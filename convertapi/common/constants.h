// Every fixed name the library shares with the printer driver and the ticket
// library: key paths, value names, section names and the tag-block GUIDs.
#pragma once

#include "convertapi/common/platform.h"

namespace convertapi {

// Registry keys, all under HKEY_CURRENT_USER.
inline const WCHAR kVendorKeyPath[] = TEXT("Software\\Varnholt\\");
inline const WCHAR kProcessKeyPrefix[] = TEXT("QXProcID");
inline const WCHAR kFallbackKeyName[] = TEXT("QXProcIDFallback");
inline const WCHAR kDriverDataPhysical[] = TEXT("CalvexDriverData\\Physical");
inline const WCHAR kDriverDataPrinting[] = TEXT("CalvexDriverData\\Printing");
inline const WCHAR kDriverDataOptItems[] = TEXT("CalvexDriverData\\Printing\\OptItems");
inline const WCHAR kDriverDataDevModeItems[] = TEXT("CalvexDriverData\\Printing\\DevModeItems");
inline const WCHAR kDriverDataRoot[] = TEXT("CalvexDriverData");

// Values of a request.
inline const WCHAR kValueDisableDPSExtension[] = TEXT("DisableDPSExtension");
inline const WCHAR kValueTicketManager[] = TEXT("TicketManager");
inline const WCHAR kValueTicketType[] = TEXT("TicketType");
inline const WCHAR kValuePrinterName[] = TEXT("PrinterName");
inline const WCHAR kValueTicketPath[] = TEXT("TicketPath");
inline const WCHAR kValueProcessingCalvex[] = TEXT("ProcessingCalvex");
inline const WCHAR kValueProcessingConvertDevmode[] = TEXT("ProcessingConvertDevmode");
inline const WCHAR kValueProcessId[] = TEXT("QXProcID");
inline const WCHAR kValueTrue[] = TEXT("TRUE");

// Printer data.
inline const WCHAR kPrinterDataAlwaysExport[] = TEXT("AlwaysExport");
inline const WCHAR kPrinterDataExportTicketLocation[] = TEXT("ExportTicketLocation");
inline const WCHAR kPrinterDataVersionOverride[] = TEXT("QXConvertAPIVersionOverride");

// Debug lines sent when printer data cannot be set or deleted.
inline const WCHAR kDebugSetAlwaysExportFailed[] = TEXT("Failed to create registry key AlwaysExport\n");
inline const WCHAR kDebugSetExportLocationFailed[] = TEXT("Failed to create registry key ExportTicketLocation\n");
inline const WCHAR kDebugDeleteAlwaysExportFailed[] = TEXT("Failed to delete registry key AlwaysExport\n");
inline const WCHAR kDebugDeleteExportLocationFailed[] = TEXT("Failed to delete registry key ExportTicketLocation\n");

// Ticket sections.
inline const WCHAR kSectionPrinting[] = TEXT("Printing");
inline const WCHAR kSectionPhysical[] = TEXT("Physical");

// Ticket library arguments.
inline const WCHAR kStartConfigClient[] = TEXT("zel_driver");
constexpr int kStartConfigMode = 4;

// Number formats: every number the library formats is one unsigned 32-bit value.
inline const WCHAR kFormatUnsigned[] = TEXT("%lu");

// Fixed sizes.
constexpr unsigned kKeyPathCapacity = 256;       // wide characters, terminating zero included
constexpr unsigned kFeatureListCapacity = 2048;  // wide characters
constexpr unsigned kStoredStringLimit = 260;     // TicketLibrary strings hold at most 259 characters

constexpr DWORD kInterfaceVersion = 4;

// The null GUID, spelled out so that no platform library is needed for it.
inline const GUID kNullGuid = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// Tag block inside a DEVMODEW.
inline const GUID kDevmodeTagLeadGuid = {0x46AB3B1B, 0x3487, 0x45E8, {0x81, 0xD4, 0xDF, 0x38, 0x13, 0x51, 0x3B, 0x4B}};
inline const GUID kDevmodeTagTrailGuid = {0xDD9A6900, 0x2685, 0x45F8, {0x89, 0x25, 0xEA, 0x39, 0xAA, 0x10, 0x78, 0xC8}};
inline const GUID kDevmodeTagAnyGuid = {0x20DD6654, 0xBD23, 0x42AE, {0x91, 0x99, 0x2F, 0x3D, 0x77, 0xE1, 0xAC, 0x62}};
constexpr DWORD kDevmodeTagSignature[4] = {0x43415049, 0x44575244, 0x54414753, 0x49504143};
constexpr unsigned kDevmodeTagBlockSize = 64;

}  // namespace convertapi
