#include "devmode_image.h"

#include "public_features.h"
#include "tag_block.h"
#include "wide_text.h"

#include <cstring>

namespace standin_driver {

void DevmodeImage::SetDefault(const WCHAR *printerName)
{
    std::memset(&data_, 0, sizeof(data_));
    DEVMODEW &pub = data_.pub;
    size_t nameLength = TextLength(printerName);
    if (nameLength > CCHDEVICENAME - 1) nameLength = CCHDEVICENAME - 1;
    for (size_t i = 0; i < nameLength; ++i) pub.dmDeviceName[i] = printerName[i];
    pub.dmSpecVersion = DM_SPECVERSION;
    pub.dmDriverVersion = STANDIN_DEVMODE_DRIVER_VERSION;
    pub.dmSize = sizeof(DEVMODEW);
    pub.dmDriverExtra = sizeof(StandinDevmodePrivate);
    pub.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_COLOR | DM_DUPLEX | DM_COLLATE;
    pub.dmOrientation = DMORIENT_PORTRAIT;
    pub.dmPaperSize = DMPAPER_A4;
    pub.dmCopies = 1;
    pub.dmPrintQuality = 600;
    pub.dmColor = DMCOLOR_COLOR;
    pub.dmDuplex = DMDUP_SIMPLEX;
    pub.dmCollate = DMCOLLATE_FALSE;
    StandinDevmodePrivate &priv = data_.priv;
    WriteFreeTagBlock(priv.tagBlock);
    priv.magic = STANDIN_DEVMODE_MAGIC;
    priv.version = STANDIN_DEVMODE_VERSION;
    settings_.Reset(priv.settings, STANDIN_DEVMODE_SETTINGS_CHARS);
    priv.settingsChars = settings_.UsedChars();
    restrictedSize_ = 0;
}

bool DevmodeImage::InputSizeValid(const DEVMODEW *devmode)
{
    return devmode && devmode->dmSize >= kMinPublicSize && devmode->dmSize <= sizeof(DEVMODEW);
}

void DevmodeImage::Load(const DEVMODEW *devmode)
{
    const BYTE *bytes = reinterpret_cast<const BYTE *>(devmode);
    const DWORD publicSize = devmode->dmSize;
    const DWORD total = publicSize + devmode->dmDriverExtra;

    std::memcpy(&data_.pub, devmode, publicSize);
    data_.pub.dmSize = sizeof(DEVMODEW);
    data_.pub.dmDriverExtra = sizeof(StandinDevmodePrivate);

    StandinDevmodePrivate incoming;
    bool own = false;
    if (publicSize == sizeof(DEVMODEW) && devmode->dmDriverExtra == sizeof(StandinDevmodePrivate)) {
        std::memcpy(&incoming, bytes + publicSize, sizeof(incoming));
        own = incoming.magic == STANDIN_DEVMODE_MAGIC && incoming.version == STANDIN_DEVMODE_VERSION;
    }
    if (own) {
        data_.priv = incoming;
        WriteFreeTagBlock(data_.priv.tagBlock);
        // A damaged settings area reads as empty rather than as garbage.
        settings_.Attach(data_.priv.settings, STANDIN_DEVMODE_SETTINGS_CHARS);
        data_.priv.settingsChars = settings_.UsedChars();
    }
    long tag = FindTagBlock(bytes, total);
    if (tag >= 0) std::memcpy(data_.priv.tagBlock + 32, bytes + tag + 32, 16);
}

void DevmodeImage::RestrictToPublic(unsigned publicSize)
{
    restrictedSize_ = publicSize;
    for (unsigned i = 0; i < PublicFeatureCount(); ++i) {
        const PublicFeature &feature = PublicFeatureAt(i);
        if (!FieldFits(feature, publicSize)) data_.pub.dmFields &= ~feature.fieldBit;
    }
    settings_.Reset(data_.priv.settings, STANDIN_DEVMODE_SETTINGS_CHARS);
    data_.priv.settingsChars = settings_.UsedChars();
}

int DevmodeImage::ApplyFeature(const WCHAR *name, const WCHAR *value)
{
    const PublicFeature *exact = FindPublicFeature(name);
    SHORT number = 0;
    if (exact && ParsePublicValue(*exact, value, &number)) {
        if (Restricted() && !FieldFits(*exact, restrictedSize_)) return 0;
        SetField(&data_.pub, *exact, number);
        data_.pub.dmFields |= exact->fieldBit;
        settings_.Remove(name);
        data_.priv.settingsChars = settings_.UsedChars();
        return 1;
    }
    if (Restricted()) return 0;
    // A text the public field cannot carry (or a name in another case) stays
    // private; the field then no longer speaks for the feature, so that an
    // export writes the feature once.
    const PublicFeature *similar = FindPublicFeatureNoCase(name);
    if (similar) data_.pub.dmFields &= ~similar->fieldBit;
    int kept = settings_.Set(name, value);
    data_.priv.settingsChars = settings_.UsedChars();
    return kept;
}

void DevmodeImage::SetDroppedFeatures(DWORD count) { data_.priv.droppedFeatures = count; }

int DevmodeImage::Store(DEVMODEW *out, DWORD capacity) const
{
    if (!out) return 0;
    if (!Restricted()) {
        if (capacity < kFullDevmodeSize) return 0;
        std::memcpy(out, &data_, kFullDevmodeSize);
        return 1;
    }
    // The caller's buffer keeps its own sizes, versions and private bytes;
    // only the public fields it has are written.
    const unsigned headerEnd = offsetof(DEVMODEW, dmFields);
    if (capacity < restrictedSize_) return 0;
    std::memcpy(reinterpret_cast<BYTE *>(out) + headerEnd, reinterpret_cast<const BYTE *>(&data_.pub) + headerEnd,
                restrictedSize_ - headerEnd);
    return 1;
}

}  // namespace standin_driver
