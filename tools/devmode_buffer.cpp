#include "devmode_buffer.h"

#include "standins/common/file_io.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace convertapi_cli {
namespace {

// A DEVMODEW file larger than the largest dmSize + dmDriverExtra is not one.
constexpr size_t kMaxDevmodeBytes = 2 * 65535;

WORD ReadWord(const BYTE *bytes, size_t offset)
{
    return static_cast<WORD>(bytes[offset] | (bytes[offset + 1] << 8));
}

}  // namespace

int DevmodeBuffer::Assign(const BYTE *bytes, size_t count, std::string *error)
{
    if (count < kDevmodeHeaderBytes) {
        *error = std::to_string(count) + " bytes are too few for a DEVMODEW (its header alone has " +
                 std::to_string(kDevmodeHeaderBytes) + ")";
        return 0;
    }
    const size_t publicSize = ReadWord(bytes, offsetof(DEVMODEW, dmSize));
    const size_t extra = ReadWord(bytes, offsetof(DEVMODEW, dmDriverExtra));
    if (publicSize < kDevmodeHeaderBytes) {
        *error = "dmSize is " + std::to_string(publicSize) + ", less than the header of a DEVMODEW";
        return 0;
    }
    if (count < publicSize + extra) {
        *error = "dmSize + dmDriverExtra give " + std::to_string(publicSize + extra) + " bytes, but there are only " +
                 std::to_string(count);
        return 0;
    }
    bytes_.assign(std::max(publicSize, sizeof(DEVMODEW)) + extra, 0);
    std::memcpy(bytes_.data(), bytes, publicSize + extra);
    // A short public part: the private part follows it where dmSize says.
    return 1;
}

DWORD DevmodeBuffer::Size() const
{
    if (bytes_.size() < kDevmodeHeaderBytes) return 0;
    const size_t size = static_cast<size_t>(ReadWord(bytes_.data(), offsetof(DEVMODEW, dmSize))) +
                        ReadWord(bytes_.data(), offsetof(DEVMODEW, dmDriverExtra));
    return static_cast<DWORD>(std::min(size, bytes_.size()));
}

int LoadDevmodeFile(const WString &path, DevmodeBuffer *devmode, std::string *error)
{
    standin::OwnedArray<char> content;
    if (!standin::ReadWholeFile(path.c_str(), kMaxDevmodeBytes, &content)) {
        *error = "cannot read " + Narrow(path) + " (missing, unreadable, or larger than any DEVMODEW)";
        return 0;
    }
    std::string reason;
    if (!devmode->Assign(reinterpret_cast<const BYTE *>(content.Data()), content.Size(), &reason)) {
        *error = Narrow(path) + " is not a DEVMODEW: " + reason;
        return 0;
    }
    return 1;
}

int SaveDevmodeFile(const WString &path, const DevmodeBuffer &devmode, std::string *error)
{
    if (!standin::WriteWholeFile(path.c_str(), devmode.Bytes(), devmode.Size())) {
        *error = "cannot write " + Narrow(path);
        return 0;
    }
    return 1;
}

int PrinterDefaultDevmode(const WString &printer, DevmodeBuffer *devmode, std::string *error)
{
    WString name = printer;
    HANDLE handle = nullptr;
    if (!OpenPrinterW(&name[0], &handle, nullptr)) {
        *error = "the printer \"" + Narrow(printer) + "\" cannot be opened";
        return 0;
    }
    int done = 0;
    const LONG size = DocumentPropertiesW(nullptr, handle, &name[0], nullptr, nullptr, 0);
    if (size < static_cast<LONG>(kDevmodeHeaderBytes)) {
        *error = "the driver of \"" + Narrow(printer) + "\" gives no DEVMODEW size";
    } else {
        // Room beyond the announced size, zero-filled, in case the driver's
        // idea of its own size is short.
        std::vector<BYTE> bytes(static_cast<size_t>(size) + sizeof(DEVMODEW), 0);
        const LONG answer = DocumentPropertiesW(nullptr, handle, &name[0], reinterpret_cast<DEVMODEW *>(bytes.data()),
                                                nullptr, DM_OUT_BUFFER);
        if (answer != IDOK) {
            *error = "the driver of \"" + Narrow(printer) + "\" gives no default DEVMODEW (answer " +
                     std::to_string(answer) + ")";
        } else {
            done = devmode->Assign(bytes.data(), bytes.size(), error);
        }
    }
    ClosePrinter(handle);
    return done;
}

}  // namespace convertapi_cli
