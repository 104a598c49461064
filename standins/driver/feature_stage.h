// The features of one ticket section as the driver read them itself, held
// until the whole section has been read, so that a walk that fails half-way
// applies nothing. Like a driver-data key: one value per name (ignoring the
// case of A to Z), the one set last.
#pragma once

#include "driver_platform.h"
#include "pair_list.h"
#include "request.h"
#include "standins/common/owned_array.h"

namespace standin_driver {

class FeatureStage {
public:
    FeatureStage() = default;
    FeatureStage(const FeatureStage &) = delete;
    FeatureStage &operator=(const FeatureStage &) = delete;

    // Sets `name` to `value`, growing the area as needed; 0 for an empty
    // name or when the area cannot grow.
    int Set(const WCHAR *name, const WCHAR *value);
    void Clear();

    // Hands every feature to `visit` under the rules of VisitDriverData: a
    // name or value too long for the driver-data limits is not handed on and
    // counts in `notVisited`, as does one that `visit` did not take.
    DWORD Visit(ValueVisitor visit, void *context, DWORD *notVisited) const;

    DWORD Count() const { return list_.Count(); }

private:
    int Grow(DWORD needed);

    standin::OwnedArray<WCHAR> area_;
    PairList list_;
};

}  // namespace standin_driver
