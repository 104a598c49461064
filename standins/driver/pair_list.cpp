#include "pair_list.h"

#include "standin_devmode.h"
#include "wide_text.h"

namespace standin_driver {

void PairList::Reset(WCHAR *area, DWORD capacity)
{
    area_ = area;
    capacity_ = capacity;
    used_ = 0;
    if (area_ && capacity_ > 0) {
        area_[0] = 0;
        used_ = 1;
    }
}

int PairList::Attach(WCHAR *area, DWORD capacity)
{
    area_ = area;
    capacity_ = capacity;
    used_ = 0;
    if (!area_ || capacity_ == 0) return 0;
    DWORD pos = 0;
    const WCHAR *name = nullptr;
    const WCHAR *value = nullptr;
    while (StandinDevmodeNextSetting(area_, capacity_, &pos, &name, &value)) {
    }
    if (pos < capacity_ && area_[pos] == 0) {
        used_ = pos + 1;
        return 1;
    }
    Reset(area, capacity);
    return 0;
}

int PairList::Next(DWORD *pos, const WCHAR **name, const WCHAR **value) const
{
    if (!area_ || !pos) return 0;
    return StandinDevmodeNextSetting(area_, used_, pos, name, value);
}

DWORD PairList::Count() const
{
    DWORD count = 0;
    DWORD pos = 0;
    const WCHAR *name = nullptr;
    const WCHAR *value = nullptr;
    while (Next(&pos, &name, &value)) ++count;
    return count;
}

long PairList::FindPair(const WCHAR *name) const
{
    DWORD pos = 0;
    DWORD start = 0;
    const WCHAR *pairName = nullptr;
    const WCHAR *value = nullptr;
    while (Next(&pos, &pairName, &value)) {
        if (TextEqualNoCase(pairName, name)) return static_cast<long>(start);
        start = pos;
    }
    return -1;
}

const WCHAR *PairList::Find(const WCHAR *name) const
{
    long start = FindPair(name);
    if (start < 0) return nullptr;
    const WCHAR *value = area_ + start;
    while (*value != 0) ++value;
    return value + 1;
}

int PairList::Remove(const WCHAR *name)
{
    long start = FindPair(name);
    if (start < 0) return 0;
    DWORD pos = static_cast<DWORD>(start);
    const WCHAR *pairName = nullptr;
    const WCHAR *value = nullptr;
    Next(&pos, &pairName, &value);
    DWORD removed = pos - static_cast<DWORD>(start);
    for (DWORD i = static_cast<DWORD>(start); i + removed < used_; ++i) area_[i] = area_[i + removed];
    used_ -= removed;
    return 1;
}

int PairList::Set(const WCHAR *name, const WCHAR *value)
{
    if (!area_ || used_ == 0 || !name || name[0] == 0) return 0;
    if (!value) value = TEXT("");
    Remove(name);
    size_t nameLength = TextLength(name);
    size_t valueLength = TextLength(value);
    size_t needed = nameLength + 1 + valueLength + 1;
    if (needed > capacity_ - used_) return 0;
    // The final empty name sits at used_ - 1; the new pair goes there.
    DWORD at = used_ - 1;
    for (size_t i = 0; i < nameLength; ++i) area_[at++] = name[i];
    area_[at++] = 0;
    for (size_t i = 0; i < valueLength; ++i) area_[at++] = value[i];
    area_[at++] = 0;
    area_[at++] = 0;
    used_ = at;
    return 1;
}

}  // namespace standin_driver
