// The convertapi tool run in-process on the host: a fresh hostwin before each
// test (the tool sets its embedded printer up again), the tool's output and
// exit code, and the files a test writes.
#pragma once

#include "convertapi/common/platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tool_test {

using WString = std::basic_string<WCHAR>;

struct RunResult {
    int code;
    std::string out;
    std::string err;
};

// The tool with these arguments (no program name).
RunResult Tool(const std::vector<std::string> &args);

// A file of the source tree, e.g. "examples/tickets/sample.xml".
std::string SourcePath(const char *relative);

WString Wide(const std::string &text);

// The embedded printer and the stand-in driver's answer switch.
const WCHAR *PrinterName();
void SetDriverAnswer(LONG answer);

// The lines of `text` that contain every one of `words` in this order,
// separated by anything.
int CountLines(const std::string &text, const std::vector<std::string> &words);

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path in this test's own folder; removed after the test.
    std::string TempPath(const char *name);
    void WriteText(const std::string &path, const std::string &text);
    void WriteBytes(const std::string &path, const void *data, size_t size);
    std::string ReadText(const std::string &path);

private:
    std::string folder_;
};

}  // namespace tool_test
