#include "platform/CommandLine.h"

#include "platform/win32/Wide.h"
#include "platform/win32/WindowsApi.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <memory>
#include <stdexcept>

namespace ostrevan {
namespace {

struct LocalFreer {
    void operator()(wchar_t** arguments) const { LocalFree(arguments); }
};

} // namespace

std::vector<std::string> commandLineArguments(int, char**) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    int count = 0;
    const std::unique_ptr<wchar_t*, LocalFreer> arguments(
        CommandLineToArgvW(GetCommandLineW(), &count));
    if (!arguments) {
        throw std::runtime_error("the command line cannot be read");
    }
    std::vector<std::string> utf8;
    for (int i = 1; i < count; ++i) {
        utf8.push_back(utf8Text(arguments.get()[i]));
    }
    return utf8;
}

bool standardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

} // namespace ostrevan
