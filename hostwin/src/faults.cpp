// Fault injection and call counting: HostWinInjectFault, HostWinCallCount.
#include "internal.h"

#include <map>
#include <mutex>

namespace {

struct FaultState {
    std::mutex lock;
    std::map<std::string, long> faults; // target -> calls left until the failing one, or -1: every call
    std::map<std::string, long> calls;  // target -> calls since the last reset
};

FaultState &State()
{
    static FaultState *state = new FaultState; // never destroyed: hooks may run during exit
    return *state;
}

// Counts the call under `target` and, when `faultable`, answers whether its
// fault fires now. A fault for the nth call fires once and is then gone.
bool Hit(FaultState &s, const char *target, bool faultable)
{
    if (!target) return false;
    std::string key(target);
    ++s.calls[key];
    if (!faultable) return false;
    auto it = s.faults.find(key);
    if (it == s.faults.end()) return false;
    if (it->second < 0) return true;
    if (--it->second > 0) return false;
    s.faults.erase(it);
    return true;
}

} // namespace

namespace hostwin {

bool FaultHits(const char *function, const char *category)
{
    FaultState &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    bool byName = Hit(s, function, true);
    bool byCategory = Hit(s, category, true);
    return byName || byCategory;
}

bool FaultHitsByNameOnly(const char *function, const char *category)
{
    FaultState &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    bool byName = Hit(s, function, true);
    Hit(s, category, false); // counted, but a category fault neither fails nor counts down on a close
    return byName;
}

void FaultsReset()
{
    FaultState &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.faults.clear();
    s.calls.clear();
}

} // namespace hostwin

void HostWinInjectFault(const char *target, long nth)
{
    if (!target) return;
    FaultState &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    if (nth == 0)
        s.faults.erase(target);
    else
        s.faults[target] = nth < 0 ? -1 : nth;
}

void HostWinClearFaults(void)
{
    FaultState &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.faults.clear();
}

long HostWinCallCount(const char *target)
{
    if (!target) return 0;
    FaultState &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.calls.find(target);
    return it == s.calls.end() ? 0 : it->second;
}

BOOL HostWinAllocationShouldFail(void) { return hostwin::FaultHits(nullptr, "alloc") ? TRUE : FALSE; }
