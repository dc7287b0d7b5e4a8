#include "platform/win32/command_line.h"

#include "platform/win32/handles.h"

#include <shellapi.h>

#include <memory>
#include <stdexcept>

namespace platform::win32 {
namespace {

struct LocalFreeDeleter {
    void operator()(LPWSTR* memory) const { ::LocalFree(memory); }
};

}  // namespace

std::vector<std::string> ArgumentsOf(std::wstring_view commandLine) {
    std::wstring line(commandLine);
    int count = 0;
    std::unique_ptr<LPWSTR, LocalFreeDeleter> split(::CommandLineToArgvW(line.c_str(), &count));
    if (!split) throw std::runtime_error("The command line could not be read:\r\n" + errorText(::GetLastError()));
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(narrow(split.get()[i]));
    return arguments;
}

std::vector<std::string> ProgramArguments() { return ArgumentsOf(::GetCommandLineW()); }

}  // namespace platform::win32
