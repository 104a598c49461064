// Test side of the fake ticket library: loads one build of it, so that its
// state outlives the TicketLibrary under test, and reads its call record.
#pragma once

#include "tests/unit/fake_ticketlib/fake_ticketlib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fake {

using WString = std::basic_string<WCHAR>;

inline WString Widen(const char *text)
{
    WString wide;
    for (; *text != 0; ++text) wide.push_back(static_cast<WCHAR>(static_cast<unsigned char>(*text)));
    return wide;
}

inline const WString &FullPath()
{
    static const WString path = Widen(FAKE_TICKETLIB_MODULE);
    return path;
}

inline const WString &PartialPath()
{
    static const WString path = Widen(FAKE_TICKETLIB_PARTIAL_MODULE);
    return path;
}

class Library {
public:
    explicit Library(const WString &path = FullPath()) : path_(path)
    {
        module_ = LoadLibraryW(path_.c_str());
        if (module_ == nullptr) return;
        auto stateProc = reinterpret_cast<StateProc>(
            reinterpret_cast<void (*)(void)>(GetProcAddress(module_, "FakeTicketLibState")));
        auto resetProc = reinterpret_cast<ResetProc>(
            reinterpret_cast<void (*)(void)>(GetProcAddress(module_, "FakeTicketLibReset")));
        if (resetProc != nullptr) resetProc();
        if (stateProc != nullptr) state_ = stateProc();
    }
    ~Library()
    {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    Library(const Library &) = delete;
    Library &operator=(const Library &) = delete;

    bool Loaded() const { return state_ != nullptr; }
    const WCHAR *Path() const { return path_.c_str(); }
    HMODULE Module() const { return module_; }
    State &Answers() { return *state_; }

    std::vector<std::string> CallNames() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < state_->callCount && i < kMaxCalls; ++i) names.push_back(state_->calls[i].name);
        return names;
    }
    const Call &LastCall() const { return state_->calls[state_->callCount - 1]; }
    const Call &CallAt(int index) const { return state_->calls[index]; }
    void ForgetCalls() { state_->callCount = 0; }

private:
    WString path_;
    HMODULE module_ = nullptr;
    State *state_ = nullptr;
};

inline void SetText(WCHAR *field, size_t capacity, const WString &text)
{
    size_t n = 0;
    for (; n + 1 < capacity && n < text.size(); ++n) field[n] = text[n];
    field[n] = 0;
}

}  // namespace fake
