// One instance for the length of a command: InitializeConvertAPI, the calls
// made on it, and KillConvertAPI at the end whatever happened before, so that
// the tool itself leaves nothing in the registry. Every call is shown with its
// result; the first result that is not ConvertAPISuccess is the command's.
#pragma once

#include "commands.h"
#include "target.h"

#include <string>

namespace convertapi_cli {

class InstanceRun {
public:
    explicit InstanceRun(Console &console) : console_(console) {}
    ~InstanceRun() { End(); }
    InstanceRun(const InstanceRun &) = delete;
    InstanceRun &operator=(const InstanceRun &) = delete;

    // InitializeConvertAPI; true when the instance is bound.
    bool Initialize(const Target &target);
    // Shows a call's result and keeps it if it is the first failure; true on success.
    bool Record(const char *call, DWORD result, const std::string &note = std::string());
    // KillConvertAPI, once, if InitializeConvertAPI handed out a GUID.
    void End();

    const GUID &Instance() const { return instance_; }
    DWORD FirstFailure() const { return failure_; }

private:
    Console &console_;
    GUID instance_ = {};
    bool started_ = false;
    DWORD failure_ = 0;
};

// "ConvertTicketEx        0 (ConvertAPISuccess)  <note>"
void PrintCall(Console &console, const char *call, DWORD result, const std::string &note = std::string());

}  // namespace convertapi_cli
