#include "driver_work.h"

#include "call_record.h"
#include "convertapi/common/constants.h"
#include "devmode_image.h"
#include "device_settings.h"
#include "feature_stage.h"
#include "request.h"
#include "tag_block.h"
#include "ticket_reader.h"
#include "ticket_writer.h"
#include "wide_text.h"

#include <cstring>
#include <new>

namespace standin_driver {
namespace {

constexpr DWORD kPathChars = 1024;

void RecordRequest(const Request &request, StandinDriverCall *call)
{
    call->requestFound = request.source;
    call->exportMode = request.source != RequestNone && request.exportMode ? 1 : 0;
    TextBuffer key(call->processKey, 256);
    key.Append(request.processKey);
}

WorkResult SwitchedAnswer()
{
    switch (Answer()) {
    case StandinAnswerCancel: return WorkCancelled;
    case StandinAnswerError: return WorkFailed;
    default: return WorkOk;
    }
}

int ApplyToDevmode(void *context, const WCHAR *name, const WCHAR *value)
{
    return static_cast<DevmodeImage *>(context)->ApplyFeature(name, value);
}

int ApplyToDevice(void *context, const WCHAR *name, const WCHAR *value)
{
    return static_cast<PairList *>(context)->Set(name, value);
}

// An import request without driver data that names its ticket and its
// ticket library (the library publishes one for the printer's property
// sheet): the driver reads the ticket's section itself. Answers
// StandinTicketNotRead when the driver data are to be used instead.
LONG ReadTicketItself(const Request &request, const WCHAR *section, FeatureStage *features)
{
    if (HasDriverData(request.processKey)) return StandinTicketNotRead;
    WCHAR library[kPathChars];
    WCHAR ticket[kPathChars];
    if (!ReadTicketReference(request.processKey, library, ticket, kPathChars)) return StandinTicketNotRead;
    return ReadTicketSection(library, ticket, section, features) ? StandinTicketRead : StandinTicketReadFailed;
}

WorkResult Export(const DevmodeImage &image, const Printer &printer)
{
    DeviceSettings device;
    if (!device.Load(printer)) return WorkFailed;
    WCHAR path[kPathChars];
    if (!ReadExportLocation(printer, path, kPathChars)) return WorkFailed;
    return WriteTicket(path, image, device.List()) ? WorkOk : WorkFailed;
}

WorkResult DocumentWorkOn(const DOCUMENTPROPERTYHEADER &header, const Printer &printer, StandinDriverCall *call)
{
    const DEVMODEW *in = (header.fMode & DM_IN_BUFFER) ? header.pdmIn : nullptr;
    DEVMODEW *out = (header.fMode & DM_OUT_BUFFER) ? header.pdmOut : nullptr;
    if (in && !DevmodeImage::InputSizeValid(in)) return WorkFailed;

    const DWORD inSize = in ? static_cast<DWORD>(in->dmSize) + in->dmDriverExtra : 0;
    long tag = in ? FindTagBlock(reinterpret_cast<const BYTE *>(in), inSize) : -1;
    if (tag >= 0) {
        call->tagFound = 1;
        std::memcpy(&call->tagSlot, reinterpret_cast<const BYTE *>(in) + tag + 32, sizeof(GUID));
    }
    Request request;
    FindRequest(call->tagFound ? &call->tagSlot : nullptr, &request);
    RecordRequest(request, call);

    WorkResult answer = SwitchedAnswer();
    if (answer != WorkOk) return answer;

    DevmodeImage *image = new (std::nothrow) DevmodeImage;
    if (!image) return WorkFailed;
    struct Owner {
        DevmodeImage *image;
        ~Owner() { delete image; }
    } owner{image};

    image->SetDefault(header.pszPrinterName);
    if (in) image->Load(in);
    // The library hands one buffer in and out: the result must fit where the
    // input was. A separate output buffer is as large as the size query said.
    const bool inPlace = out && in && static_cast<const DEVMODEW *>(out) == in;
    const DWORD capacity = inPlace ? inSize : kFullDevmodeSize;
    if (inPlace && inSize < kFullDevmodeSize) image->RestrictToPublic(in->dmSize);

    const bool exporting = request.source != RequestNone && request.exportMode;
    if (request.source == RequestNone || exporting) {
        // An export needs a DEVMODEW to export: a mere fill of the output
        // buffer (Wine's AddPrinterW builds the default that way) writes no
        // ticket, whatever request stands.
        if (exporting && in) {
            WorkResult exported = Export(*image, printer);
            if (exported != WorkOk) return exported;
        }
        // Without an import the caller's own DEVMODEW stays as it is.
        if (out && !inPlace && !image->Store(out, capacity)) return WorkFailed;
        return WorkOk;
    }

    DWORD notKept = 0;
    DWORD dropped = 0;
    FeatureStage features;
    call->readTicketItself = ReadTicketItself(request, convertapi::kSectionPrinting, &features);
    if (call->readTicketItself == StandinTicketNotRead) {
        VisitDriverData(request.processKey, convertapi::kDriverDataDevModeItems, ApplyToDevmode, image, &notKept);
        dropped += notKept;
        VisitDriverData(request.processKey, convertapi::kDriverDataOptItems, ApplyToDevmode, image, &notKept);
        dropped += notKept;
    } else {
        // A ticket that could not be read applies nothing: the DEVMODEW goes
        // back as a request without driver data leaves it.
        features.Visit(ApplyToDevmode, image, &notKept);
        dropped += notKept;
    }
    image->SetDroppedFeatures(dropped);
    call->droppedFeatures = static_cast<LONG>(dropped);
    if (out && !image->Store(out, capacity)) return WorkFailed;
    return WorkOk;
}

}  // namespace

WorkResult DocumentWork(const DOCUMENTPROPERTYHEADER &header, const Printer &printer, StandinDriverCall *call)
{
    // The sizes as they came in: the work may rewrite them in place.
    const DEVMODEW *in = (header.fMode & DM_IN_BUFFER) ? header.pdmIn : nullptr;
    DEVMODEW *out = (header.fMode & DM_OUT_BUFFER) ? header.pdmOut : nullptr;
    const bool inPlace = in && out && static_cast<const DEVMODEW *>(out) == in;
    const DWORD outSize = inPlace ? static_cast<DWORD>(in->dmSize) + in->dmDriverExtra : kFullDevmodeSize;

    WorkResult result = DocumentWorkOn(header, printer, call);
    // As a driver that rebuilds its private part from scratch: no slot the
    // caller stamped survives in what goes back, within the bytes the caller
    // handed in (or the full size of a separate output buffer).
    if (result == WorkOk && out && Answer() == StandinAnswerOkDropTag)
        FreeTagSlots(reinterpret_cast<BYTE *>(out), outSize);
    return result;
}

WorkResult DeviceWork(const Printer &printer, StandinDriverCall *call)
{
    Request request;
    FindRequest(nullptr, &request);
    RecordRequest(request, call);

    WorkResult answer = SwitchedAnswer();
    if (answer != WorkOk) return answer;
    // An export has nothing to do on the printer's sheet: the document call
    // writes the device settings into the ticket.
    if (request.source == RequestNone || request.exportMode) return WorkOk;

    DeviceSettings *device = new (std::nothrow) DeviceSettings;
    if (!device) return WorkFailed;
    struct Owner {
        DeviceSettings *device;
        ~Owner() { delete device; }
    } owner{device};
    if (!device->Load(printer)) return WorkFailed;
    DWORD dropped = 0;
    DWORD taken = 0;
    FeatureStage features;
    call->readTicketItself = ReadTicketItself(request, convertapi::kSectionPhysical, &features);
    if (call->readTicketItself == StandinTicketNotRead)
        taken = VisitDriverData(request.processKey, convertapi::kDriverDataPhysical, ApplyToDevice, &device->List(),
                                &dropped);
    else  // a ticket that could not be read has nothing staged: nothing is saved
        taken = features.Visit(ApplyToDevice, &device->List(), &dropped);
    call->droppedFeatures = static_cast<LONG>(dropped);
    if ((taken > 0 || dropped > 0) && !device->Save(printer)) return WorkFailed;
    return WorkOk;
}

}  // namespace standin_driver
