#include "standins/common/file_io.h"

#include "standins/common/utf.h"

#include <cstdio>
#include <cstring>

namespace standin {
namespace {

// Owns an open FILE and closes it on every path out of a function.
class OpenedFile {
public:
    explicit OpenedFile(FILE *file) : file_(file) {}
    ~OpenedFile()
    {
        if (file_) fclose(file_);
    }
    OpenedFile(const OpenedFile &) = delete;
    OpenedFile &operator=(const OpenedFile &) = delete;

    FILE *Get() const { return file_; }
    // Closes now and reports whether everything buffered reached the file.
    int Close()
    {
        FILE *file = file_;
        file_ = nullptr;
        return file && fclose(file) == 0;
    }

private:
    FILE *file_;
};

FILE *OpenFile(const WCHAR *path, int forWriting)
{
    if (!path) return nullptr;
#ifdef _WIN32
    return _wfopen(path, forWriting ? TEXT("wb") : TEXT("rb"));
#else
    OwnedArray<char> narrowPath;
    if (!Utf16ToUtf8(path, WideLength(path), &narrowPath)) return nullptr;
    return fopen(narrowPath.Data(), forWriting ? "wb" : "rb");
#endif
}

}  // namespace

int ReadWholeFile(const WCHAR *path, size_t maxBytes, OwnedArray<char> *out)
{
    if (!out) return 0;
    out->Reset();
    OpenedFile file(OpenFile(path, 0));
    if (!file.Get()) return 0;

    // The size is learnt by reading, not by seeking: that also refuses a
    // folder (whose read fails) and a file that grows while it is read.
    const size_t limit = maxBytes < static_cast<size_t>(-1) / 2 ? maxBytes + 1 : static_cast<size_t>(-1) / 2;
    OwnedArray<char> buffer;
    size_t used = 0;
    for (;;) {
        if (used == buffer.Size()) {
            if (buffer.Size() >= limit) return 0;  // more than allowed was read
            size_t grown = buffer.Size() < 65536 ? 65536 : buffer.Size() * 2;
            if (grown > limit) grown = limit;
            OwnedArray<char> larger;
            if (!larger.Allocate(grown)) return 0;
            if (used) memcpy(larger.Data(), buffer.Data(), used);
            buffer.Swap(larger);
        }
        const size_t got = fread(buffer.Data() + used, 1, buffer.Size() - used, file.Get());
        used += got;
        if (got == 0) break;
    }
    if (ferror(file.Get()) || used > maxBytes) return 0;
    buffer.Truncate(used);
    out->Swap(buffer);
    return 1;
}

int WriteWholeFile(const WCHAR *path, const void *data, size_t size)
{
    if (!data && size) return 0;
    OpenedFile file(OpenFile(path, 1));
    if (!file.Get()) return 0;
    if (size && fwrite(data, 1, size, file.Get()) != size) return 0;
    return file.Close();
}

}  // namespace standin
