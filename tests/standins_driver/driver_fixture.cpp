#include "tests/standins_driver/driver_fixture.h"

#include <rapidxml/rapidxml.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace driver_test {

const WCHAR DriverTest::kPrinter[] = TEXT("Standin Printer");

namespace {
template <typename Proc> Proc Export(HMODULE module, const char *name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}
}  // namespace

std::string Utf8(const WString &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

WString Wide(const std::string &utf8)
{
    WString out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char b = utf8[i];
        uint32_t c = b;
        int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        if (extra) c = b & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
        i += 1 + extra;
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

void DriverTest::SetUp()
{
    HostWinReset();
    ASSERT_TRUE(HostWinAddPrinter(kPrinter, STANDIN_DRIVER_MODULE, 0));
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(OpenPrinterW(const_cast<WCHAR *>(kPrinter), &printer_, &defaults));
    module_ = LoadLibraryW(Wide(STANDIN_DRIVER_MODULE).c_str());
    ASSERT_NE(module_, nullptr);
    callCount_ = Export<StandinDriverCallCountProc>(module_, "StandinDriverCallCount");
    getCall_ = Export<StandinDriverGetCallProc>(module_, "StandinDriverGetCall");
    setAnswer_ = Export<StandinDriverSetAnswerProc>(module_, "StandinDriverSetAnswer");
    auto reset = Export<StandinDriverResetProc>(module_, "StandinDriverReset");
    ASSERT_TRUE(callCount_ && getCall_ && setAnswer_ && reset);
    reset();
    folder_ = "/tmp/standin-driver-test-" + std::to_string(getpid());
    mkdir(folder_.c_str(), 0700);
}

void DriverTest::TearDown()
{
    if (printer_) ClosePrinter(printer_);
    if (module_) FreeLibrary(module_);
}

WString DriverTest::ProcessKey(const WString &id) const { return WString(u"Software\\Varnholt\\QXProcID") + id; }

WString DriverTest::PidKey() const { return ProcessKey(Wide(std::to_string(GetCurrentProcessId()))); }

void DriverTest::SetString(const WString &keyPath, const WString &name, const WString &value)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
    RegCloseKey(key);
}

void DriverTest::PublishRequest(const WString &id, bool exportMode, DWORD fallbackId)
{
    const WString key = ProcessKey(id);
    if (exportMode) SetString(key, u"ProcessingConvertDevmode", u"TRUE");
    SetString(key, u"ProcessingCalvex", u"TRUE");
    HKEY fallback = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Varnholt\\QXProcIDFallback", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &fallback, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(fallback, u"QXProcID", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&fallbackId), 4);
    RegCloseKey(fallback);
}

void DriverTest::PublishByProcessId(bool exportMode)
{
    PublishRequest(Wide(std::to_string(GetCurrentProcessId())), exportMode, GetCurrentProcessId());
}

void DriverTest::SetDriverData(const WString &id, const WCHAR *subKey, const FeatureMap &features)
{
    for (const auto &feature : features)
        SetString(ProcessKey(id) + u"\\" + subKey, Wide(feature.first), Wide(feature.second));
}

void DriverTest::SetExportLocation(const std::string &path)
{
    DWORD one = 1;
    SetPrinterDataW(printer_, const_cast<WCHAR *>(u"AlwaysExport"), REG_DWORD, reinterpret_cast<BYTE *>(&one), 4);
    SetPrinterDataW(printer_, const_cast<WCHAR *>(u"ExportTicketLocation"), REG_BINARY,
                    reinterpret_cast<BYTE *>(const_cast<char *>(path.data())), static_cast<DWORD>(path.size()));
}

std::vector<BYTE> DriverTest::DefaultDevmode()
{
    LONG size = DocumentPropertiesW(nullptr, printer_, const_cast<WCHAR *>(kPrinter), nullptr, nullptr, 0);
    EXPECT_EQ(size, static_cast<LONG>(sizeof(StandinDevmode)));
    std::vector<BYTE> devmode(size > 0 ? size : sizeof(StandinDevmode));
    EXPECT_EQ(DocumentPropertiesW(nullptr, printer_, const_cast<WCHAR *>(kPrinter), Public(devmode), nullptr,
                                  DM_OUT_BUFFER),
              IDOK);
    return devmode;
}

LONG DriverTest::CallDocument(std::vector<BYTE> *devmode, DWORD mode)
{
    DEVMODEW *dm = Public(*devmode);
    return DocumentPropertiesW(nullptr, printer_, const_cast<WCHAR *>(kPrinter), dm, dm, mode);
}

BOOL DriverTest::CallDevice() { return PrinterProperties(nullptr, printer_); }

FeatureMap DriverTest::PrivateSettings(std::vector<BYTE> &devmode)
{
    FeatureMap settings;
    const StandinDevmodePrivate *priv = Private(devmode);
    DWORD pos = 0;
    const WCHAR *name = nullptr;
    const WCHAR *value = nullptr;
    while (StandinDevmodeNextSetting(priv->settings, STANDIN_DEVMODE_SETTINGS_CHARS, &pos, &name, &value))
        settings[Utf8(name)] = Utf8(value);
    return settings;
}

FeatureMap DriverTest::DeviceSettings()
{
    FeatureMap settings;
    std::vector<WCHAR> area(8192);
    DWORD type = 0;
    DWORD needed = 0;
    if (GetPrinterDataW(printer_, const_cast<WCHAR *>(u"StandinDeviceSettings"), &type,
                        reinterpret_cast<BYTE *>(area.data()), static_cast<DWORD>(area.size() * sizeof(WCHAR)),
                        &needed) != ERROR_SUCCESS)
        return settings;
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    DWORD pos = 0;
    const WCHAR *name = nullptr;
    const WCHAR *value = nullptr;
    while (StandinDevmodeNextSetting(area.data(), needed / sizeof(WCHAR), &pos, &name, &value))
        settings[Utf8(name)] = Utf8(value);
    return settings;
}

std::map<std::string, FeatureMap> DriverTest::ReadTicket(const std::string &path)
{
    std::map<std::string, FeatureMap> sections;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << path;
    std::stringstream content;
    content << file.rdbuf();
    std::string text = content.str();
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back(0);
    rapidxml::xml_document<> document;
    try {
        document.parse<0>(buffer.data());
    } catch (const rapidxml::parse_error &error) {
        ADD_FAILURE() << "malformed ticket: " << error.what() << "\n" << text;
        return sections;
    }
    rapidxml::xml_node<> *ticket = document.first_node("Ticket");
    EXPECT_NE(ticket, nullptr);
    if (!ticket) return sections;
    for (auto *section = ticket->first_node("Section"); section; section = section->next_sibling("Section")) {
        auto *sectionName = section->first_attribute("name");
        EXPECT_NE(sectionName, nullptr);
        if (!sectionName) continue;
        FeatureMap &features = sections[sectionName->value()];
        for (auto *feature = section->first_node("Feature"); feature; feature = feature->next_sibling("Feature")) {
            auto *name = feature->first_attribute("name");
            auto *value = feature->first_attribute("value");
            EXPECT_TRUE(name && value);
            if (!name || !value) continue;
            EXPECT_EQ(features.count(name->value()), 0u) << "feature written twice: " << name->value();
            EXPECT_EQ(feature->first_node("Feature"), nullptr) << "the driver writes a flat ticket";
            features[name->value()] = value->value();
        }
    }
    return sections;
}

std::string DriverTest::TempPath(const char *name) const { return folder_ + "/" + name; }

}  // namespace driver_test
