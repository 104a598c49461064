// The stand-in ticket library's parser and navigation over arbitrary files
// and context paths. The input is a navigation script (one command a line;
// FuzzedDataProvider's escaped string at the front), a few buffer capacities
// (taken from the end) and, in between, the ticket file itself. The entry
// points are compiled into this program and called as its client calls them.
//
// Script lines: "c<path>" ZELSetContext, "g<name>" ZELGet, "l" ZELEnumFeatures
// and every token of the list, "L" ZELEnumFeatures with a non-null parent,
// "e" ZELEndConfig, "s" ZELStartConfig again, "n" the calls with null texts;
// any other line is a context path as it stands.
#include "standins/common/utf.h"
#include "standins/ticketlib/standin_ticketlib.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using WString = std::basic_string<WCHAR>;

void Check(bool condition)
{
    if (!condition) std::abort();
}

WString Wide(const std::string &text)
{
    standin::OwnedArray<WCHAR> wide;
    if (standin::Utf8ToUtf16(text.data(), text.size(), &wide)) return WString(wide.Data(), wide.Size());
    return WString(text.begin(), text.end());  // not UTF-8: byte by byte
}

// An output buffer as the client prepares it: 0xFFFF up to a final zero.
// `spoiled` puts an ordinary character among them, which makes the buffer
// one the library must not write into.
struct OutputBuffer {
    std::vector<WCHAR> chars;
    OutputBuffer(size_t capacity, bool spoiled) : chars(capacity, static_cast<WCHAR>(0xFFFF))
    {
        if (capacity != 0) chars.back() = 0;
        if (spoiled && capacity > 1) chars[capacity / 2 - (capacity > 2 ? 1 : 0)] = TEXT('x');
    }
    WCHAR *Data() { return chars.empty() ? nullptr : chars.data(); }
    bool Terminated() const
    {
        for (WCHAR c : chars)
            if (c == 0) return true;
        return false;
    }
};

const std::string &TicketPath()
{
    // In memory where there is a tmpfs: the file is written for every input.
    static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                    "/fuzz_ticket_parser." + std::to_string(getpid()) + ".xml";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const std::string script = fdp.ConsumeRandomLengthString(2048);
    const size_t valueCapacity = fdp.ConsumeIntegralInRange<size_t>(0, 300);
    const size_t listCapacity = fdp.ConsumeIntegralInRange<size_t>(0, 2100);
    const size_t tokenCapacity = fdp.ConsumeIntegralInRange<size_t>(0, 300);
    const bool spoiled = fdp.ConsumeIntegralInRange<int>(0, 15) == 0;
    const std::vector<uint8_t> ticket = fdp.ConsumeRemainingBytes<uint8_t>();

    FILE *file = std::fopen(TicketPath().c_str(), "wb");
    if (file == nullptr) return 0;
    if (!ticket.empty()) std::fwrite(ticket.data(), 1, ticket.size(), file);
    std::fclose(file);
    const WString path = Wide(TicketPath());

    ZELStartConfig(path.c_str(), 4, TEXT("zel_driver"), 2);
    size_t start = 0;
    while (start <= script.size()) {
        size_t end = script.find('\n', start);
        if (end == std::string::npos) end = script.size();
        const std::string line = script.substr(start, end - start);
        start = end + 1;
        const char op = line.empty() ? 0 : line[0];
        const WString argument = Wide(line.empty() ? line : line.substr(1));
        switch (op) {
        case 'c': ZELSetContext(argument.c_str()); break;
        case 'g': {
            OutputBuffer value(valueCapacity, spoiled);
            const std::vector<WCHAR> before = value.chars;
            if (ZELGet(argument.c_str(), value.Data()))
                Check(value.Terminated());
            else
                Check(value.chars == before);  // nothing is written on failure
            break;
        }
        case 'l':
        case 'L': {
            OutputBuffer list(listCapacity, spoiled);
            const void *parent = op == 'L' ? static_cast<const void *>(&list) : nullptr;
            if (!ZELEnumFeatures(parent, list.Data())) break;
            Check(list.Terminated());
            for (int tokens = 0; tokens < 3000; ++tokens) {
                OutputBuffer token(tokenCapacity, spoiled);
                const std::vector<WCHAR> listBefore = list.chars;
                const std::vector<WCHAR> tokenBefore = token.chars;
                if (!ZELEnumListToken(token.Data(), list.Data())) {
                    Check(list.chars == listBefore && token.chars == tokenBefore);
                    break;
                }
                Check(token.Terminated() && list.Terminated());
            }
            break;
        }
        case 'e': ZELEndConfig(); break;
        case 's': ZELStartConfig(path.c_str(), 4, TEXT("zel_driver"), 2); break;
        case 'n': {
            OutputBuffer buffer(valueCapacity, spoiled);
            Check(ZELSetContext(nullptr) == 0);
            Check(ZELGet(nullptr, buffer.Data()) == 0);
            Check(ZELGet(argument.c_str(), nullptr) == 0);
            Check(ZELEnumFeatures(nullptr, nullptr) == 0);
            Check(ZELEnumListToken(nullptr, buffer.Data()) == 0);
            Check(ZELStartConfig(nullptr, 4, TEXT("zel_driver"), 2) == 0);
            break;
        }
        default: ZELSetContext(Wide(line).c_str()); break;
        }
    }
    ZELEndConfig();
    return 0;
}
