// The registry: one in-memory tree per process under HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE (HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\Software\Classes),
// guarded by one mutex. Behaviour follows Windows as Wine implements it:
// - key and value names compare without case; subkeys enumerate in name
//   order, values in the order they were first set;
// - a path may not start with a backslash (ERROR_BAD_PATHNAME); runs of
//   backslashes between names and trailing backslashes are ignored;
// - a key with subkeys cannot be deleted (ERROR_ACCESS_DENIED);
// - a handle whose key was deleted (or dropped by HostWinReset) can still be
//   closed, everything else on it gives ERROR_KEY_DELETED;
// - access rights asked for at open time are enforced per operation.
#include "internal.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

using hostwin::CompareNoCase;
using hostwin::EqualNoCase;

const DWORD kMaxKeyNameChars = 255;
const REGSAM kGenericRead = 0x80000000, kGenericWrite = 0x40000000, kGenericAll = 0x10000000;
const REGSAM kMaximumAllowed = 0x02000000;

struct Value {
    unsigned long long seq; // order of first setting
    std::u16string name;
    DWORD type;
    std::vector<BYTE> data;
};

struct Key {
    std::u16string name;
    Key *parent = nullptr;
    std::vector<std::shared_ptr<Key>> subkeys; // sorted by CompareNoCase
    // In the order first set. A deque, so that taking values off the front
    // (how a key is emptied value by value) costs no move of the others.
    std::deque<Value> values;
    // Each value's name in upper case -> its sequence number; the values stay
    // sorted by it, so a name is found without comparing it with every other.
    std::unordered_map<std::u16string, unsigned long long> upperNames;
    unsigned long long nextSeq = 0;
    bool deleted = false;
};

struct OpenKey {
    std::shared_ptr<Key> key;
    REGSAM access;
};

struct Registry {
    std::mutex lock;
    std::shared_ptr<Key> currentUser = std::make_shared<Key>();
    std::shared_ptr<Key> localMachine = std::make_shared<Key>();
    std::unordered_map<uintptr_t, OpenKey> handles;
};

Registry &State()
{
    static Registry *registry = new Registry;
    return *registry;
}

bool IsPredefined(HKEY hKey)
{
    return hKey == HKEY_CURRENT_USER || hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CLASSES_ROOT;
}

REGSAM EffectiveAccess(REGSAM sam)
{
    if (sam & (kGenericAll | kMaximumAllowed)) sam |= KEY_ALL_ACCESS;
    if (sam & kGenericRead) sam |= KEY_READ;
    if (sam & kGenericWrite) sam |= KEY_WRITE;
    return sam;
}

// The name as the registry compares it: EqualNoCase(a, b) exactly when
// UpperName(a) == UpperName(b).
std::u16string UpperName(const std::u16string &name)
{
    std::u16string upper(name);
    for (char16_t &c : upper) c = hostwin::UpperCase(c);
    return upper;
}

std::deque<Value>::iterator FindValue(Key &key, const std::u16string &name)
{
    auto found = key.upperNames.find(UpperName(name));
    if (found == key.upperNames.end()) return key.values.end();
    return std::lower_bound(key.values.begin(), key.values.end(), found->second,
                            [](const Value &v, unsigned long long seq) { return v.seq < seq; });
}

std::shared_ptr<Key> FindSubkey(const Key &key, const std::u16string &name)
{
    auto it = std::lower_bound(key.subkeys.begin(), key.subkeys.end(), name,
                               [](const std::shared_ptr<Key> &k, const std::u16string &n) {
                                   return CompareNoCase(k->name, n) < 0;
                               });
    if (it != key.subkeys.end() && EqualNoCase((*it)->name, name)) return *it;
    return nullptr;
}

std::shared_ptr<Key> AddSubkey(Key &key, const std::u16string &name)
{
    auto child = std::make_shared<Key>();
    child->name = name;
    child->parent = &key;
    auto it = std::lower_bound(key.subkeys.begin(), key.subkeys.end(), name,
                               [](const std::shared_ptr<Key> &k, const std::u16string &n) {
                                   return CompareNoCase(k->name, n) < 0;
                               });
    key.subkeys.insert(it, child);
    return child;
}

// Marks a whole subtree deleted, so that handles into it see ERROR_KEY_DELETED.
void MarkDeleted(Key &key)
{
    key.deleted = true;
    for (auto &child : key.subkeys) MarkDeleted(*child);
    key.subkeys.clear();
    key.values.clear();
    key.upperNames.clear();
}

void Unlink(Key &key)
{
    Key *parent = key.parent;
    if (parent) {
        auto it = std::find_if(parent->subkeys.begin(), parent->subkeys.end(),
                               [&](const std::shared_ptr<Key> &k) { return k.get() == &key; });
        if (it != parent->subkeys.end()) parent->subkeys.erase(it);
    }
    key.parent = nullptr;
    MarkDeleted(key);
}

// Splits a relative path into names as the Windows object manager does: no
// leading backslash, empty names between backslashes skipped.
LONG SplitPath(LPCWSTR path, std::vector<std::u16string> *names)
{
    names->clear();
    if (!path) return ERROR_SUCCESS;
    if (path[0] == u'\\') return ERROR_BAD_PATHNAME;
    std::u16string current;
    for (const WCHAR *p = path;; ++p) {
        if (*p == u'\\' || *p == 0) {
            if (!current.empty()) names->push_back(current);
            current.clear();
            if (*p == 0) break;
        } else {
            current += *p;
        }
    }
    return ERROR_SUCCESS;
}

// Resolves a handle (predefined or opened) to its key and the access it grants.
// Called with the lock held.
LONG Resolve(Registry &r, HKEY hKey, std::shared_ptr<Key> *key, REGSAM *access)
{
    if (hKey == HKEY_CURRENT_USER || hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CLASSES_ROOT) {
        *access = KEY_ALL_ACCESS;
        if (hKey == HKEY_CURRENT_USER) {
            *key = r.currentUser;
            return ERROR_SUCCESS;
        }
        *key = r.localMachine;
        if (hKey == HKEY_CLASSES_ROOT) {
            for (const char16_t *name : {u"Software", u"Classes"}) {
                std::shared_ptr<Key> next = FindSubkey(**key, name);
                *key = next ? next : AddSubkey(**key, name);
            }
        }
        return ERROR_SUCCESS;
    }
    auto it = r.handles.find(reinterpret_cast<uintptr_t>(hKey));
    if (it == r.handles.end()) return ERROR_INVALID_HANDLE;
    if (it->second.key->deleted) return ERROR_KEY_DELETED;
    *key = it->second.key;
    *access = it->second.access;
    return ERROR_SUCCESS;
}

LONG ResolveWithAccess(Registry &r, HKEY hKey, REGSAM needed, std::shared_ptr<Key> *key)
{
    REGSAM access = 0;
    LONG rc = Resolve(r, hKey, key, &access);
    if (rc != ERROR_SUCCESS) return rc;
    return (access & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// Walks `path` below `from`; ERROR_FILE_NOT_FOUND when a name is missing.
LONG Walk(std::shared_ptr<Key> from, LPCWSTR path, std::shared_ptr<Key> *found)
{
    std::vector<std::u16string> names;
    LONG rc = SplitPath(path, &names);
    if (rc != ERROR_SUCCESS) return rc;
    for (const auto &name : names) {
        from = FindSubkey(*from, name);
        if (!from) return ERROR_FILE_NOT_FOUND;
    }
    *found = from;
    return ERROR_SUCCESS;
}

HKEY NewHandle(Registry &r, const std::shared_ptr<Key> &key, REGSAM access)
{
    uintptr_t value = hostwin::NewHandleValue();
    r.handles[value] = OpenKey{key, EffectiveAccess(access)};
    hostwin::HandleOpened(hostwin::kHandleRegistry);
    return reinterpret_cast<HKEY>(value);
}

bool IsString(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// Copies value data out as RegQueryValueExW and RegEnumValueW do: when a
// string lacks its terminator and the buffer has room, one is added (not counted).
void CopyData(const Value &v, LPBYTE out, DWORD capacity)
{
    DWORD size = static_cast<DWORD>(v.data.size());
    if (size) std::memcpy(out, v.data.data(), size);
    if (IsString(v.type) && size >= sizeof(WCHAR) && size + sizeof(WCHAR) <= capacity) {
        if (v.data[size - 1] != 0 || v.data[size - 2] != 0) {
            out[size] = 0;
            out[size + 1] = 0;
        }
    }
}

LONG CreatePath(std::shared_ptr<Key> from, LPCWSTR path, std::shared_ptr<Key> *result, bool *created)
{
    std::vector<std::u16string> names;
    LONG rc = SplitPath(path, &names);
    if (rc != ERROR_SUCCESS) return rc;
    for (const auto &name : names)
        if (name.size() > kMaxKeyNameChars) return ERROR_INVALID_PARAMETER;
    *created = false;
    for (const auto &name : names) {
        std::shared_ptr<Key> next = FindSubkey(*from, name);
        if (!next) {
            next = AddSubkey(*from, name);
            *created = true;
        }
        from = next;
    }
    *result = from;
    return ERROR_SUCCESS;
}

} // namespace

LONG WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult)
{
    (void)ulOptions;
    if (hostwin::FaultHits("RegOpenKeyExW", "registry")) {
        if (phkResult) *phkResult = nullptr;
        return ERROR_ACCESS_DENIED;
    }
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> base, key;
    REGSAM ignored = 0;
    LONG rc = Resolve(r, hKey, &base, &ignored);
    if (rc != ERROR_SUCCESS) return rc;
    rc = Walk(base, lpSubKey, &key);
    if (rc != ERROR_SUCCESS) return rc;
    *phkResult = NewHandle(r, key, samDesired);
    return ERROR_SUCCESS;
}

LONG WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                            REGSAM samDesired, const LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                            LPDWORD lpdwDisposition)
{
    (void)lpClass;
    (void)dwOptions;
    (void)lpSecurityAttributes;
    if (hostwin::FaultHits("RegCreateKeyExW", "registry")) {
        if (phkResult) *phkResult = nullptr;
        return ERROR_ACCESS_DENIED;
    }
    if (!phkResult) return ERROR_BADKEY;
    if (Reserved) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> base, key;
    REGSAM access = 0;
    LONG rc = Resolve(r, hKey, &base, &access);
    if (rc != ERROR_SUCCESS) return rc;
    // Opening an existing key needs no right on the parent; creating one needs
    // KEY_CREATE_SUB_KEY on it.
    std::shared_ptr<Key> existing;
    if (Walk(base, lpSubKey, &existing) == ERROR_SUCCESS) {
        key = existing;
        if (lpdwDisposition) *lpdwDisposition = REG_OPENED_EXISTING_KEY;
    } else {
        if (!(access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
        bool created = false;
        rc = CreatePath(base, lpSubKey, &key, &created);
        if (rc != ERROR_SUCCESS) return rc;
        if (lpdwDisposition) *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    *phkResult = NewHandle(r, key, samDesired);
    return ERROR_SUCCESS;
}

LONG WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE *lpData,
                           DWORD cbData)
{
    (void)Reserved;
    if (hostwin::FaultHits("RegSetValueExW", "registry")) return ERROR_ACCESS_DENIED;
    if (!lpData && cbData) return ERROR_NOACCESS;
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> key;
    LONG rc = ResolveWithAccess(r, hKey, KEY_SET_VALUE, &key);
    if (rc != ERROR_SUCCESS) return rc;
    std::u16string name = hostwin::FromWide(lpValueName);
    std::vector<BYTE> data(lpData, lpData + cbData);
    auto it = FindValue(*key, name);
    if (it != key->values.end()) {
        it->type = dwType; // keeps its place and the case of its first name
        it->data.swap(data);
    } else {
        key->upperNames[UpperName(name)] = key->nextSeq;
        key->values.push_back(Value{key->nextSeq++, name, dwType, std::move(data)});
    }
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                             LPDWORD lpcbData)
{
    if (hostwin::FaultHits("RegQueryValueExW", "registry")) return ERROR_ACCESS_DENIED;
    if ((lpData && !lpcbData) || lpReserved) return ERROR_INVALID_PARAMETER;
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> key;
    LONG rc = ResolveWithAccess(r, hKey, KEY_QUERY_VALUE, &key);
    if (rc != ERROR_SUCCESS) return rc;
    auto it = FindValue(*key, hostwin::FromWide(lpValueName));
    if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
    DWORD size = static_cast<DWORD>(it->data.size());
    rc = ERROR_SUCCESS;
    if (lpData) {
        if (size > *lpcbData)
            rc = ERROR_MORE_DATA;
        else
            CopyData(*it, lpData, *lpcbData);
    }
    if (lpType) *lpType = it->type;
    if (lpcbData) *lpcbData = size;
    return rc;
}

// As Wine: a name that does not fit (with its NUL) gives ERROR_MORE_DATA and
// leaves *lpcchValueName alone; data that does not fit gives ERROR_MORE_DATA
// after the name was copied. Type and data size are reported either way.
LONG WINAPI RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                          LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (hostwin::FaultHits("RegEnumValueW", "registry")) return ERROR_ACCESS_DENIED;
    if (!lpcchValueName) return ERROR_INVALID_PARAMETER;
    if ((lpData && !lpcbData) || lpReserved) return ERROR_INVALID_PARAMETER;
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> key;
    LONG rc = ResolveWithAccess(r, hKey, KEY_QUERY_VALUE, &key);
    if (rc != ERROR_SUCCESS) return rc;
    if (dwIndex >= key->values.size()) return ERROR_NO_MORE_ITEMS;
    const Value &v = key->values[dwIndex];
    DWORD size = static_cast<DWORD>(v.data.size());
    rc = ERROR_SUCCESS;
    if (lpValueName) {
        if (v.name.size() >= *lpcchValueName) {
            rc = ERROR_MORE_DATA;
        } else {
            std::memcpy(lpValueName, v.name.data(), v.name.size() * sizeof(WCHAR));
            lpValueName[v.name.size()] = 0;
            *lpcchValueName = static_cast<DWORD>(v.name.size());
        }
    }
    if (rc == ERROR_SUCCESS && lpData) {
        if (size > *lpcbData)
            rc = ERROR_MORE_DATA;
        else
            CopyData(v, lpData, *lpcbData);
    }
    if (lpType) *lpType = v.type;
    if (lpcbData) *lpcbData = size;
    return rc;
}

LONG WINAPI RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                          LPWSTR lpClass, LPDWORD lpcchClass, void *lpftLastWriteTime)
{
    if (hostwin::FaultHits("RegEnumKeyExW", "registry")) return ERROR_ACCESS_DENIED;
    if (lpReserved || !lpcchName || !lpName) return ERROR_INVALID_PARAMETER;
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> key;
    LONG rc = ResolveWithAccess(r, hKey, KEY_ENUMERATE_SUB_KEYS, &key);
    if (rc != ERROR_SUCCESS) return rc;
    if (dwIndex >= key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    const std::u16string &name = key->subkeys[dwIndex]->name;
    if (lpftLastWriteTime) std::memset(lpftLastWriteTime, 0, 8); // a FILETIME; not tracked
    if (name.size() >= *lpcchName || (lpClass && lpcchClass && *lpcchClass == 0)) return ERROR_MORE_DATA;
    std::memcpy(lpName, name.data(), name.size() * sizeof(WCHAR));
    lpName[name.size()] = 0;
    *lpcchName = static_cast<DWORD>(name.size());
    if (lpcchClass) { // keys have no class here
        *lpcchClass = 0;
        if (lpClass) lpClass[0] = 0;
    }
    return ERROR_SUCCESS;
}

LONG WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName)
{
    if (hostwin::FaultHits("RegDeleteValueW", "registry")) return ERROR_ACCESS_DENIED;
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> key;
    LONG rc = ResolveWithAccess(r, hKey, KEY_SET_VALUE, &key);
    if (rc != ERROR_SUCCESS) return rc;
    auto it = FindValue(*key, hostwin::FromWide(lpValueName));
    if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
    key->upperNames.erase(UpperName(it->name));
    key->values.erase(it);
    return ERROR_SUCCESS;
}

// An empty (not null) subkey deletes the key of the handle itself, as on
// Windows; the predefined roots cannot be deleted.
LONG WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey)
{
    if (hostwin::FaultHits("RegDeleteKeyW", "registry")) return ERROR_ACCESS_DENIED;
    if (!lpSubKey) return ERROR_INVALID_PARAMETER;
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> base, key;
    REGSAM ignored = 0;
    LONG rc = Resolve(r, hKey, &base, &ignored);
    if (rc != ERROR_SUCCESS) return rc;
    rc = Walk(base, lpSubKey, &key);
    if (rc != ERROR_SUCCESS) return rc;
    if (!key->parent) return ERROR_ACCESS_DENIED;
    if (!key->subkeys.empty()) return ERROR_ACCESS_DENIED;
    Unlink(*key);
    return ERROR_SUCCESS;
}

// A null or empty subkey empties the handle's key (values and subkeys) but
// keeps it; otherwise the named key goes with everything below it.
LONG WINAPI RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey)
{
    if (hostwin::FaultHits("RegDeleteTreeW", "registry")) return ERROR_ACCESS_DENIED;
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> base, key;
    REGSAM ignored = 0;
    LONG rc = Resolve(r, hKey, &base, &ignored);
    if (rc != ERROR_SUCCESS) return rc;
    rc = Walk(base, lpSubKey, &key);
    if (rc != ERROR_SUCCESS) return rc;
    if (key == base) {
        for (auto &child : key->subkeys) {
            child->parent = nullptr;
            MarkDeleted(*child);
        }
        key->subkeys.clear();
        key->values.clear();
        key->upperNames.clear();
        return ERROR_SUCCESS;
    }
    Unlink(*key);
    return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY hKey)
{
    if (hostwin::FaultHitsByNameOnly("RegCloseKey", "registry")) return ERROR_INVALID_HANDLE;
    if (IsPredefined(hKey)) return ERROR_SUCCESS;
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.handles.find(reinterpret_cast<uintptr_t>(hKey));
    if (it == r.handles.end()) return ERROR_INVALID_HANDLE;
    r.handles.erase(it);
    hostwin::HandleClosed(hostwin::kHandleRegistry);
    return ERROR_SUCCESS;
}

namespace hostwin {

LONG RegistryCreatePath(HKEY root, const std::u16string &path)
{
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> base, key;
    REGSAM ignored = 0;
    LONG rc = Resolve(r, root, &base, &ignored);
    if (rc != ERROR_SUCCESS) return rc;
    bool created = false;
    return CreatePath(base, path.c_str(), &key, &created);
}

LONG RegistrySetValue(HKEY root, const std::u16string &path, const std::u16string &name, DWORD type,
                      const BYTE *data, DWORD size)
{
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> base, key;
    REGSAM ignored = 0;
    LONG rc = Resolve(r, root, &base, &ignored);
    if (rc != ERROR_SUCCESS) return rc;
    bool created = false;
    rc = CreatePath(base, path.c_str(), &key, &created);
    if (rc != ERROR_SUCCESS) return rc;
    std::vector<BYTE> bytes(data, data + size);
    auto it = FindValue(*key, name);
    if (it != key->values.end()) {
        it->type = type;
        it->data.swap(bytes);
    } else {
        key->upperNames[UpperName(name)] = key->nextSeq;
        key->values.push_back(Value{key->nextSeq++, name, type, std::move(bytes)});
    }
    return ERROR_SUCCESS;
}

LONG RegistryGetValue(HKEY root, const std::u16string &path, const std::u16string &name, DWORD *type,
                      std::vector<BYTE> *data)
{
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> base, key;
    REGSAM ignored = 0;
    LONG rc = Resolve(r, root, &base, &ignored);
    if (rc != ERROR_SUCCESS) return rc;
    rc = Walk(base, path.c_str(), &key);
    if (rc != ERROR_SUCCESS) return rc;
    auto it = FindValue(*key, name);
    if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
    *type = it->type;
    *data = it->data;
    return ERROR_SUCCESS;
}

LONG RegistryDeleteValue(HKEY root, const std::u16string &path, const std::u16string &name)
{
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> base, key;
    REGSAM ignored = 0;
    LONG rc = Resolve(r, root, &base, &ignored);
    if (rc != ERROR_SUCCESS) return rc;
    rc = Walk(base, path.c_str(), &key);
    if (rc != ERROR_SUCCESS) return rc;
    auto it = FindValue(*key, name);
    if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
    key->upperNames.erase(UpperName(it->name));
    key->values.erase(it);
    return ERROR_SUCCESS;
}

LONG RegistryDeleteTree(HKEY root, const std::u16string &path)
{
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    std::shared_ptr<Key> base, key;
    REGSAM ignored = 0;
    LONG rc = Resolve(r, root, &base, &ignored);
    if (rc != ERROR_SUCCESS) return rc;
    rc = Walk(base, path.c_str(), &key);
    if (rc != ERROR_SUCCESS) return rc;
    if (key == base) return ERROR_ACCESS_DENIED;
    Unlink(*key);
    return ERROR_SUCCESS;
}

// Drops both trees; open handles keep their (now deleted) keys alive.
void RegistryReset()
{
    Registry &r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    MarkDeleted(*r.currentUser);
    MarkDeleted(*r.localMachine);
    r.currentUser = std::make_shared<Key>();
    r.localMachine = std::make_shared<Key>();
}

} // namespace hostwin
