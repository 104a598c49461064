#include "feature_stage.h"

#include "wide_text.h"

namespace standin_driver {
namespace {
constexpr DWORD kFirstChars = 4096;
constexpr DWORD kMostChars = 0x40000000;  // keeps the doubling within a DWORD
}  // namespace

int FeatureStage::Grow(DWORD needed)
{
    DWORD capacity = area_.Size() ? static_cast<DWORD>(area_.Size()) : kFirstChars;
    while (capacity < needed) {
        if (capacity >= kMostChars) return 0;
        capacity *= 2;
    }
    standin::OwnedArray<WCHAR> larger;
    if (!larger.Allocate(capacity)) return 0;
    const DWORD used = list_.UsedChars();
    for (DWORD i = 0; i < used; ++i) larger.Data()[i] = area_.Data()[i];
    area_.Swap(larger);
    if (used == 0) {
        list_.Reset(area_.Data(), capacity);
        return 1;
    }
    return list_.Attach(area_.Data(), capacity);
}

int FeatureStage::Set(const WCHAR *name, const WCHAR *value)
{
    if (!name || name[0] == 0) return 0;
    if (!value) value = TEXT("");
    const size_t pair = TextLength(name) + TextLength(value) + 2;
    if (pair >= kMostChars) return 0;
    // The pair of this name goes, then the new one is added at the end: room
    // for it beside everything there now is always enough.
    const DWORD needed = list_.UsedChars() + static_cast<DWORD>(pair) + 1;
    if (needed > area_.Size() && !Grow(needed)) return 0;
    return list_.Set(name, value);
}

void FeatureStage::Clear()
{
    area_.Reset();
    list_ = PairList();
}

DWORD FeatureStage::Visit(ValueVisitor visit, void *context, DWORD *notVisited) const
{
    DWORD visited = 0;
    DWORD skipped = 0;
    DWORD pos = 0;
    const WCHAR *name = nullptr;
    const WCHAR *value = nullptr;
    while (list_.Next(&pos, &name, &value)) {
        if (TextLength(name) >= kDriverDataNameChars || TextLength(value) >= kDriverDataValueChars) ++skipped;
        else if (visit(context, name, value)) ++visited;
        else ++skipped;
    }
    if (notVisited) *notVisited = skipped;
    return visited;
}

}  // namespace standin_driver
