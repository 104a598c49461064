// OutputDebugStringW: kept in order for HostWinDebugOutput, and echoed to
// stderr when HOSTWIN_DEBUG_STDERR is set (a debugger's view on the host).
#include "internal.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

struct DebugState {
    std::mutex lock;
    std::vector<std::u16string> lines;
};

DebugState &State()
{
    static DebugState *state = new DebugState;
    return *state;
}

} // namespace

namespace hostwin {
void DebugOutputReset() { HostWinClearDebugOutput(); }
} // namespace hostwin

void WINAPI OutputDebugStringW(LPCWSTR lpOutputString)
{
    if (!lpOutputString) return;
    std::u16string text(lpOutputString);
    if (std::getenv("HOSTWIN_DEBUG_STDERR")) {
        std::string narrow = hostwin::ToUtf8(text);
        std::fprintf(stderr, "%s", narrow.c_str());
        std::fflush(stderr);
    }
    DebugState &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.lines.push_back(std::move(text));
}

std::vector<std::u16string> HostWinDebugOutput()
{
    DebugState &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.lines;
}

void HostWinClearDebugOutput(void)
{
    DebugState &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.lines.clear();
}
