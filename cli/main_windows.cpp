// relicwright-cli on Windows: the arguments are taken from the wide command line, so names in any
// script reach the program intact as UTF-8, and the console is told that the output is UTF-8.
#include "CommandLine.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::string toUtf8(const wchar_t* wide) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
    text.pop_back();
    return text;
}

} // namespace

int main() {
    std::vector<std::string> arguments;
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            arguments.push_back(toUtf8(wide[i]));
        }
        ::LocalFree(wide);
    }
    ::SetConsoleOutputCP(CP_UTF8);
    // The same bytes as on Linux, also when the output goes to a file or another program.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    std::ios::sync_with_stdio(false);
    const int status = relicwright::CommandLine::run(arguments, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
