// convertapi: the command-line tool. See docs/cli.md.
#include "cli.h"
#include "convertapi/common/platform.h"
#include "text.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
// Arguments as UTF-16 from the system, passed on as UTF-8.
int wmain(int argc, WCHAR **argv)
{
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        size_t length = 0;
        while (argv[i][length] != 0) ++length;
        args.push_back(convertapi_cli::Narrow(argv[i], length));
    }
    return convertapi_cli::RunCli(args, std::cout, std::cerr);
}
#else
int main(int argc, char **argv)
{
    return convertapi_cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
#endif
