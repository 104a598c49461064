// requests: what callers left behind in the registry, and with --clean its
// withdrawal (requests.h).
#include "commands.h"

#include "convertapi/common/constants.h"
#include "exit_codes.h"
#include "requests.h"
#include "target.h"

namespace convertapi_cli {
namespace {

std::string Padded(const std::string &text, size_t width)
{
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

const char *KindText(RequestKeyKind kind)
{
    switch (kind) {
    case RequestKeyKind::InstanceProcessKey: return "process key of an instance";
    case RequestKeyKind::ProcessIdKey: return "process key of a process id";
    case RequestKeyKind::FallbackKey: return "fallback key";
    case RequestKeyKind::OtherKey: return "not a request; --clean leaves it";
    }
    return "";
}

void PrintValues(const std::vector<RegistryValue> &values, const std::string &indent, std::ostream &out)
{
    for (const RegistryValue &value : values)
        out << indent << Padded(Narrow(value.name), 30 - indent.size()) << Padded(RegistryTypeName(value.type), 11)
            << RegistryDataText(value.type, value.data) << "\n";
}

// Subkeys by their path below the request's key, each with its values.
void PrintSubkeys(const RegistryKey &key, const std::string &prefix, std::ostream &out)
{
    const std::string driverData = Narrow(WString(convertapi::kDriverDataRoot));
    for (const RegistryKey &sub : key.subkeys) {
        const std::string path = prefix + Narrow(sub.name);
        const bool isDriverData = EqualNoCase(path.substr(0, driverData.size()), driverData);
        out << "    " << path << (isDriverData ? "  (driver data)" : "") << "\n";
        PrintValues(sub.values, "      ", out);
        PrintSubkeys(sub, path + "\\", out);
    }
}

// The narrow bytes of "ExportTicketLocation" as text (the system code page).
std::string AnsiText(const std::vector<BYTE> &data)
{
    if (data.empty()) return std::string();
    const char *bytes = reinterpret_cast<const char *>(data.data());
    const int count = static_cast<int>(data.size());
    int chars = MultiByteToWideChar(CP_ACP, 0, bytes, count, nullptr, 0);
    if (chars <= 0) return std::string();
    WString text(static_cast<size_t>(chars), WCHAR(0));
    MultiByteToWideChar(CP_ACP, 0, bytes, count, &text[0], chars);
    while (!text.empty() && text.back() == 0) text.pop_back();
    return Narrow(text);
}

void PrintLeftovers(const Leftovers &found, const RequestsOptions &options, std::ostream &out)
{
    out << kVendorKeyText << "\n";
    size_t requests = 0;
    for (const RequestKey &request : found.keys) {
        out << "  " << Padded(Narrow(request.key.name), 48) << KindText(request.kind) << "\n";
        if (request.kind == RequestKeyKind::OtherKey) continue;
        ++requests;
        PrintValues(request.key.values, "    ", out);
        PrintSubkeys(request.key, "", out);
    }
    if (found.keys.empty()) out << "  (no request keys)\n";
    if (!options.printer.empty()) {
        out << "Printer \"" << options.printer << "\"\n";
        if (!found.printerOpened) out << "  cannot be opened\n";
        for (const PrinterDataValue &value : found.printerData) {
            std::string text = RegistryDataText(value.type, value.data);
            if (value.name == "ExportTicketLocation") text = AnsiText(value.data);
            out << "  " << Padded(value.name, 24) << Padded(RegistryTypeName(value.type), 11) << text << "\n";
        }
        if (found.printerOpened && found.printerData.empty()) out << "  (no AlwaysExport, no ExportTicketLocation)\n";
    }
    out << "\n";
    if (!found.Any())
        out << "No requests stand.\n";
    else
        out << requests << (requests == 1 ? " key" : " keys")
            << (found.printerData.empty() ? "" : " and printer data") << " of requests stand"
            << (options.clean ? ".\n" : "; `convertapi requests --clean` withdraws them.\n");
    if (HasEmbeddedDefault())
        out << "(hostwin's registry lives in this process: on the host build only this run's requests can show.)\n";
}

}  // namespace

int RunRequests(const RequestsOptions &options, Console &console)
{
    const WString printer = Widen(options.printer);
    const WString *printerArg = options.printer.empty() ? nullptr : &printer;
    const Leftovers found = FindLeftovers(printerArg);
    PrintLeftovers(found, options, console.out);
    if (!options.clean || !found.Any()) return kExitOk;

    const CleanReport report = CleanLeftovers(found, printerArg);
    console.out << "\n";
    for (const std::string &line : report.deleted) console.out << "deleted " << line << "\n";
    for (const std::string &line : report.failed) console.err << "convertapi: cannot delete " << line << "\n";
    return report.failed.empty() ? kExitOk : kExitCannotWrite;
}

}  // namespace convertapi_cli
