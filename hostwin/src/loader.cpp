// LoadLibraryW / GetProcAddress / FreeLibrary over dlopen. A module's handle
// is its dlopen handle; loading it again gives the same handle and one more
// reference, as on Windows. Only what the caller loads here is counted as an
// open "module" handle (the spooler's driver loads are its own).
#include "internal.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <map>
#include <mutex>

namespace {

struct Loader {
    std::mutex lock;
    std::map<void *, long> references; // dlopen handle -> LoadLibraryW calls not yet freed
};

Loader &State()
{
    static Loader *loader = new Loader;
    return *loader;
}

} // namespace

HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName)
{
    if (hostwin::FaultHits("LoadLibraryW", nullptr)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (!lpLibFileName || !lpLibFileName[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string path = hostwin::ToUtf8(lpLibFileName);
    void *module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    Loader &l = State();
    std::lock_guard<std::mutex> guard(l.lock);
    ++l.references[module];
    hostwin::HandleOpened(hostwin::kHandleModule);
    return reinterpret_cast<HMODULE>(module);
}

// Only the module's own exports are found, as on Windows: dlsym would also
// answer with a symbol of a library the module depends on.
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    if (hostwin::FaultHits("GetProcAddress", nullptr)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void *module = reinterpret_cast<void *>(hModule);
    {
        Loader &l = State();
        std::lock_guard<std::mutex> guard(l.lock);
        if (!module || l.references.find(module) == l.references.end()) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
    }
    // Names below 0x10000 are ordinals on Windows; modules here have none.
    if (reinterpret_cast<uintptr_t>(lpProcName) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void *symbol = dlsym(module, lpProcName);
    struct link_map *map = nullptr;
    Dl_info info;
    if (!symbol || dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !dladdr(symbol, &info) || !info.dli_fname ||
        std::strcmp(info.dli_fname, map->l_name) != 0) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule)
{
    if (hostwin::FaultHitsByNameOnly("FreeLibrary", nullptr)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    void *module = reinterpret_cast<void *>(hLibModule);
    Loader &l = State();
    std::lock_guard<std::mutex> guard(l.lock);
    auto it = l.references.find(module);
    if (!module || it == l.references.end()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (--it->second == 0) l.references.erase(it);
    hostwin::HandleClosed(hostwin::kHandleModule);
    dlclose(module);
    return TRUE;
}
