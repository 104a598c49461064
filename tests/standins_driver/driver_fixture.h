// A printer whose driver is the stand-in driver, a request published by hand
// and readers for what the driver leaves: the DEVMODEW, the ticket file, the
// device settings and the call record.
#pragma once

#include "convertapi/common/constants.h"
#include "hostwin/control.h"
#include "standins/driver/standin_devmode.h"
#include "standins/driver/standin_driver_api.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace driver_test {

using WString = std::u16string;
// Features of one section, by name.
using FeatureMap = std::map<std::string, std::string>;

std::string Utf8(const WString &text);
WString Wide(const std::string &utf8);

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The request as the library publishes it. `id` is the process key's
    // suffix: a braced GUID text or a decimal process id; the fallback key
    // names `fallbackId`.
    void PublishRequest(const WString &id, bool exportMode, DWORD fallbackId);
    // Publishes under the process id, named by the fallback key.
    void PublishByProcessId(bool exportMode);
    WString ProcessKey(const WString &id) const;
    WString PidKey() const;
    void SetString(const WString &keyPath, const WString &name, const WString &value);
    void SetDriverData(const WString &id, const WCHAR *subKey, const FeatureMap &features);
    // "ExportTicketLocation" for the file `path` (ASCII).
    void SetExportLocation(const std::string &path);

    std::vector<BYTE> DefaultDevmode();
    // DocumentPropertiesW on one buffer in and out.
    LONG CallDocument(std::vector<BYTE> *devmode, DWORD mode = DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER);
    BOOL CallDevice();

    static DEVMODEW *Public(std::vector<BYTE> &devmode) { return reinterpret_cast<DEVMODEW *>(devmode.data()); }
    static StandinDevmodePrivate *Private(std::vector<BYTE> &devmode)
    {
        return reinterpret_cast<StandinDevmodePrivate *>(devmode.data() + sizeof(DEVMODEW));
    }
    static FeatureMap PrivateSettings(std::vector<BYTE> &devmode);
    FeatureMap DeviceSettings();
    // Sections of a ticket file; fails the test on a malformed one.
    std::map<std::string, FeatureMap> ReadTicket(const std::string &path);
    std::string TempPath(const char *name) const;

    LONG CallCount() const { return callCount_(); }
    const StandinDriverCall *Call(LONG index) const { return getCall_(index); }
    const StandinDriverCall *LastCall() const { return getCall_(callCount_() - 1); }
    void SetAnswer(LONG answer) const { setAnswer_(answer); }

    static const WCHAR kPrinter[];
    HANDLE printer_ = nullptr;

private:
    HMODULE module_ = nullptr;
    StandinDriverCallCountProc callCount_ = nullptr;
    StandinDriverGetCallProc getCall_ = nullptr;
    StandinDriverSetAnswerProc setAnswer_ = nullptr;
    std::string folder_;
};

}  // namespace driver_test
