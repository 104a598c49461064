#include "tests/tools/tool_fixture.h"

#include "cli.h"
#include "hostwin/control.h"
#include "standins/driver/standin_driver_api.h"
#include "text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace tool_test {

RunResult Tool(const std::vector<std::string> &args)
{
    std::ostringstream out, err;
    const int code = convertapi_cli::RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

std::string SourcePath(const char *relative) { return std::string(CONVERTAPI_SOURCE_DIR) + "/" + relative; }

WString Wide(const std::string &text) { return convertapi_cli::Widen(text); }

const WCHAR *PrinterName() { return TEXT("Standin Printer"); }

void SetDriverAnswer(LONG answer)
{
    // The module that the spooler loads: one file, one module. Kept loaded
    // for the whole run, so that the switch is not lost with an unload.
    static HMODULE driver = LoadLibraryW(Wide(STANDIN_DRIVER_MODULE).c_str());
    ASSERT_NE(driver, nullptr);
    auto proc = reinterpret_cast<StandinDriverSetAnswerProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(driver, "StandinDriverSetAnswer")));
    ASSERT_NE(proc, nullptr);
    proc(answer);
}

int CountLines(const std::string &text, const std::vector<std::string> &words)
{
    int count = 0;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        size_t at = 0;
        bool all = true;
        for (const std::string &word : words) {
            at = line.find(word, at);
            if (at == std::string::npos) {
                all = false;
                break;
            }
            at += word.size();
        }
        if (all) ++count;
    }
    return count;
}

void ToolTest::SetUp()
{
    HostWinReset();
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info->name();
    for (char &c : name)
        if (c == '/') c = '_';  // parameterised tests
    folder_ = "/tmp/convertapi-tool-tests-" + std::to_string(getpid()) + "-" + name;
    ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0) << folder_;
}

void ToolTest::TearDown()
{
    SetDriverAnswer(StandinAnswerOk);
    std::system(("rm -rf '" + folder_ + "'").c_str());  // a test's own folder, made by SetUp
    HostWinReset();
}

std::string ToolTest::TempPath(const char *name) { return folder_ + "/" + name; }

void ToolTest::WriteText(const std::string &path, const std::string &text) { WriteBytes(path, text.data(), text.size()); }

void ToolTest::WriteBytes(const std::string &path, const void *data, size_t size)
{
    std::ofstream file(path, std::ios::binary);
    file.write(static_cast<const char *>(data), static_cast<std::streamsize>(size));
    ASSERT_TRUE(file.good()) << path;
}

std::string ToolTest::ReadText(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

}  // namespace tool_test
