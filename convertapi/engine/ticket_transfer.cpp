// Copying a ticket into the driver-data keys: every feature of the Printing
// and Physical sections, at every nesting level, becomes one string value.
#include "convertapi/engine/converter.h"

#include "convertapi/common/bounded_string.h"
#include "convertapi/common/constants.h"
#include "convertapi/ticketlib/ticket_library.h"

namespace convertapi {
namespace {

constexpr size_t kFeatureTextCapacity = 256;

// Printing features that the driver keeps in the DEVMODEW's own fields rather
// than among its options; tested in this order.
const WCHAR *const kDevModeItemFeatures[] = {
    TEXT("Watermarks"),
    TEXT("WMColor"),
    TEXT("WMShadeLevel"),
    TEXT("WMFontStyle"),
    TEXT("WMFontEscapement"),
    TEXT("WMCustomAngle"),
    TEXT("WMFont"),
    TEXT("WMFontSize"),
    TEXT("Duplex"),
    TEXT("DuplexEdge"),
    TEXT("NUpBordersChoice"),
    TEXT("NUpPageOrderChoice"),
    TEXT("JobRetentionModeChoice"),
    TEXT("FitToOtherSizeChoice"),
    TEXT("ScalePageChoice"),
    TEXT("ScaleChoice"),
    TEXT("UseDiffFirstPageChoice"),
    TEXT("BackCoverChoice"),
    TEXT("BookletPrintingChoice"),
    TEXT("QXTintwise"),
    TEXT("WMFirstPageOnly"),
    TEXT("PrintQuality"),
};

// Whole-name comparison that folds only the ASCII letters A to Z, so that the
// result never depends on the user's locale.
bool EqualIgnoringAsciiCase(const WCHAR *a, const WCHAR *b)
{
    for (;; ++a, ++b) {
        WCHAR x = *a;
        WCHAR y = *b;
        if (x >= TEXT('A') && x <= TEXT('Z')) x = static_cast<WCHAR>(x - TEXT('A') + TEXT('a'));
        if (y >= TEXT('A') && y <= TEXT('Z')) y = static_cast<WCHAR>(y - TEXT('A') + TEXT('a'));
        if (x != y) return false;
        if (x == 0) return true;
    }
}

bool IsDevModeItemFeature(const WCHAR *name)
{
    for (const WCHAR *item : kDevModeItemFeatures)
        if (EqualIgnoringAsciiCase(name, item)) return true;
    return false;
}

// The ticket library is told no capacity; text it left without a terminating
// zero is refused rather than read past the buffer.
bool IsTerminated(const WCHAR *buffer, size_t capacity)
{
    for (size_t i = 0; i < capacity; ++i)
        if (buffer[i] == 0) return true;
    return false;
}

}  // namespace

int Converter::TransferTicket(GUID guid)
{
    if (ticketLibrary == nullptr || printer == nullptr) return 0;

    WCHAR *basePath = nullptr;
    if (!BuildProcessKeyPath(guid, &basePath)) return 0;

    int result = 0;
    if (ticketLibrary->BeginTicket(ticketPath)) {
        if (TransferSections(basePath)) {
            result = ticketLibrary->EndTicket();
        } else {
            // A walk that failed still closes the ticket it opened; the
            // failure is what the caller hears about.
            ticketLibrary->EndTicket();
        }
    }
    delete[] basePath;
    return result ? 1 : 0;
}

int Converter::TransferSections(const WCHAR *basePath)
{
    if (basePath == nullptr) return 0;
    currentSection = kSectionPrinting;
    if (!TransferSection(kSectionPrinting, basePath)) return 0;
    currentSection = kSectionPhysical;
    if (!TransferSection(kSectionPhysical, basePath)) return 0;
    currentSection = nullptr;
    return 1;
}

int Converter::TransferSection(const WCHAR *contextName, const WCHAR *basePath)
{
    if (ticketLibrary == nullptr) return 0;
    if (!ticketLibrary->Navigate(contextName)) return 0;
    if (!ticketLibrary->LoadFeatureList(nullptr)) return 0;

    // Once inside, the level succeeds however its loop ends.
    for (;;) {
        WCHAR token[kFeatureTextCapacity] = {};
        WCHAR value[kFeatureTextCapacity] = {};
        if (!ticketLibrary->NextListToken(token, kFeatureTextCapacity)) break;
        if (!IsTerminated(token, kFeatureTextCapacity)) break;
        if (!ticketLibrary->GetValue(token, value, kFeatureTextCapacity)) break;
        if (!IsTerminated(value, kFeatureTextCapacity)) break;
        // The value goes in before the descent, so a parent's value stands
        // even when its own level cannot be walked.
        if (!WriteFeatureValue(token, value, basePath)) break;
        if (!ticketLibrary->PushContext()) break;
        if (!TransferSection(token, basePath)) {
            // Take this level's saved state back off the stack so that the
            // level above restores its own state, not this one's.
            ticketLibrary->PopContext();
            break;
        }
        if (!ticketLibrary->PopContext()) break;
    }
    return 1;
}

int Converter::WriteFeatureValue(const WCHAR *name, const WCHAR *value, const WCHAR *basePath)
{
    if (currentSection == nullptr || name == nullptr || value == nullptr || basePath == nullptr) return 0;

    WCHAR path[kKeyPathCapacity];
    if (FAILED(BoundedCopy(path, kKeyPathCapacity, basePath))) return 0;
    if (FAILED(BoundedCat(path, kKeyPathCapacity, TEXT("\\")))) return 0;

    const WCHAR *subkey = nullptr;
    if (EqualIgnoringAsciiCase(currentSection, kSectionPhysical))
        subkey = kDriverDataPhysical;
    else if (EqualIgnoringAsciiCase(currentSection, kSectionPrinting))
        subkey = IsDevModeItemFeature(name) ? kDriverDataDevModeItems : kDriverDataOptItems;
    else
        return 0;

    if (FAILED(BoundedCat(path, kKeyPathCapacity, subkey))) return 0;
    return WriteStringValue(path, name, value);
}

}  // namespace convertapi
