// What the bad input tables share: a clean machine per test, the stand-in
// driver's DEVMODEW, texts and paths of a given length, ticket files, and the
// check that nothing of a request stayed behind.
#pragma once

#include "convertapi.h"
#include "standins/driver/standin_devmode.h"
#include "tests/support/scenario_environment.h"

#include <gtest/gtest.h>

#include <string>

namespace bad_input {

using scenario::WString;

inline const GUID kNull = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// The driver's default DEVMODEW, with its free tag block.
bool DefaultDevmode(StandinDevmode *devmode);
bool TagSlotFree(const StandinDevmode &devmode);

// `length` characters of `fill`.
WString TextOfLength(size_t length, WCHAR fill = TEXT('x'));
// An absolute path of exactly `length` characters that names the same file
// as `path` ("/./././dir/file"); `length` must not be shorter than `path`.
WString PathOfLength(const WString &path, size_t length);

bool WriteTextFile(const WString &path, const std::string &content);
bool FileExists(const WString &path);
void RemoveFile(const WString &path);

// Keys below Software\Varnholt and the request's printer data, for messages;
// empty when nothing stays.
std::string Leftovers();

// The process id's key below Software\Varnholt, as the library names it.
WString ProcessIdKey();

class BadInputTest : public scenario::ScenarioTest {
protected:
    void SetUp() override;
    // Binds the process-wide Converter; the GUID of the new instance.
    GUID Initialize();
    StandinDevmode devmode;
};

}  // namespace bad_input
