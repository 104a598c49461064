#include "instance_run.h"

#include "convertapi.h"

#include <cstring>

namespace convertapi_cli {

void PrintCall(Console &console, const char *call, DWORD result, const std::string &note)
{
    std::string name(call);
    std::string code = ResultText(result);
    name.resize(name.size() < 24 ? 24 : name.size() + 1, ' ');
    if (!note.empty()) code.resize(code.size() < 32 ? 32 : code.size() + 1, ' ');
    console.out << name << code << note << "\n";
}

bool InstanceRun::Initialize(const Target &target)
{
    const DWORD result = InitializeConvertAPI(target.printer.c_str(), target.library.c_str(), &instance_);
    static const GUID null = {};
    // The GUID reaches the caller before the binding is tried (result 22).
    started_ = std::memcmp(&instance_, &null, sizeof(GUID)) != 0;
    return Record("InitializeConvertAPI", result, started_ ? "instance " + GuidText(instance_) : std::string());
}

bool InstanceRun::Record(const char *call, DWORD result, const std::string &note)
{
    PrintCall(console_, call, result, note);
    if (result != ConvertAPISuccess && failure_ == ConvertAPISuccess) failure_ = result;
    return result == ConvertAPISuccess;
}

void InstanceRun::End()
{
    if (!started_) return;
    started_ = false;
    Record("KillConvertAPI", KillConvertAPI(instance_));
}

}  // namespace convertapi_cli
