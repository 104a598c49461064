// Counts the allocations of libconvertapi.so by replacing the program's
// operator new: the library's module calls it through its dynamic imports,
// and the return address tells whose allocation it is.
#include "bench/memory_probe.h"

#include "bench/bench_environment.h"
#include "bench/ticket_generator.h"
#include "convertapi.h"

#include <link.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Every block carries its size and whether it was counted, so that its
// release can be counted too.
struct alignas(16) Header {
    size_t size;
    size_t counted;
};

std::atomic<bool> g_counting{false};
uintptr_t g_libraryStart = 0;
uintptr_t g_libraryEnd = 0;
long g_live = 0;
long g_peak = 0;
long g_allocations = 0;

void *Allocate(size_t size, void *caller)
{
    Header *header = static_cast<Header *>(std::malloc(sizeof(Header) + (size ? size : 1)));
    if (header == nullptr) return nullptr;
    header->size = size;
    header->counted = 0;
    const uintptr_t from = reinterpret_cast<uintptr_t>(caller);
    if (g_counting.load(std::memory_order_relaxed) && from >= g_libraryStart && from < g_libraryEnd) {
        header->counted = 1;
        g_live += static_cast<long>(size);
        if (g_live > g_peak) g_peak = g_live;
        ++g_allocations;
    }
    return header + 1;
}

void Release(void *block)
{
    if (block == nullptr) return;
    Header *header = static_cast<Header *>(block) - 1;
    if (header->counted) g_live -= static_cast<long>(header->size);
    std::free(header);
}

// The executable segment of the loaded library module.
int FindLibrary(struct dl_phdr_info *info, size_t, void *)
{
    if (info->dlpi_name == nullptr || std::strstr(info->dlpi_name, "libconvertapi") == nullptr) return 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr) &segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X)) {
            g_libraryStart = info->dlpi_addr + segment.p_vaddr;
            g_libraryEnd = g_libraryStart + segment.p_memsz;
        }
    }
    return 1;
}

}  // namespace

void *operator new(std::size_t size)
{
    void *block = Allocate(size, __builtin_return_address(0));
    if (block == nullptr) throw std::bad_alloc();
    return block;
}
void *operator new[](std::size_t size)
{
    void *block = Allocate(size, __builtin_return_address(0));
    if (block == nullptr) throw std::bad_alloc();
    return block;
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return Allocate(size, __builtin_return_address(0));
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return Allocate(size, __builtin_return_address(0));
}
void operator delete(void *block) noexcept { Release(block); }
void operator delete[](void *block) noexcept { Release(block); }
void operator delete(void *block, std::size_t) noexcept { Release(block); }
void operator delete[](void *block, std::size_t) noexcept { Release(block); }
void operator delete(void *block, const std::nothrow_t &) noexcept { Release(block); }
void operator delete[](void *block, const std::nothrow_t &) noexcept { Release(block); }

namespace bench {
namespace {

struct Measure {
    long peak;
    long allocations;
    long localBlocks;
};

template <typename Work> Measure Count(Work work)
{
    const long localBefore = PlatformCallCount("LocalAlloc");
    g_live = 0;
    g_peak = 0;
    g_allocations = 0;
    g_counting = true;
    work();
    g_counting = false;
    return {g_peak, g_allocations, PlatformCallCount("LocalAlloc") - localBefore};
}

}  // namespace

bool MeasureLibraryMemory(std::vector<MemoryRow> *rows)
{
    dl_iterate_phdr(FindLibrary, nullptr);
    if (g_libraryStart == 0) return false;

    std::vector<BYTE> devmode(8192);
    const struct {
        size_t features;
        int depth;
    } shapes[] = {{10, 3}, {100, 3}, {1000, 3}, {1000, 6}, {1000, 12}};
    for (const auto &shape : shapes) {
        const Ticket ticket = MakeTicket(shape.features, shape.depth);
        const std::string name = "memory-" + std::to_string(shape.features) + "-" + std::to_string(shape.depth) + ".xml";
        if (!WriteTicketFile(ticket, TempFilePath(name.c_str()))) return false;
        const WString path = TempFilePathWide(name.c_str());

        // A DEVMODEW of the printer; the driver rewrites it in place.
        HANDLE printer = nullptr;
        OpenPrinterW(const_cast<WCHAR *>(PrinterName()), &printer, nullptr);
        DocumentPropertiesW(nullptr, printer, const_cast<WCHAR *>(PrinterName()),
                            reinterpret_cast<DEVMODEW *>(devmode.data()), nullptr, DM_OUT_BUFFER);
        ClosePrinter(printer);
        DEVMODEW *dm = reinterpret_cast<DEVMODEW *>(devmode.data());

        const Measure convert = Count([&] { ConvertTicket(PrinterName(), path.c_str(), dm, TicketLibraryPath(), 1); });
        rows->push_back({"ConvertTicket", shape.features, shape.depth, convert.peak, convert.allocations,
                         convert.localBlocks});

        GUID guid = {};
        const Measure instance = Count([&] {
            InitializeConvertAPI(PrinterName(), TicketLibraryPath(), &guid);
            ReadTicket(1, path.c_str(), guid);
            ConvertTicketEx(dm, guid, FlagFromDriverData);
            KillConvertAPI(guid);
        });
        rows->push_back({"Initialize + ReadTicket + ConvertTicketEx + Kill", shape.features, shape.depth,
                         instance.peak, instance.allocations, instance.localBlocks});
    }
    return true;
}

}  // namespace bench
