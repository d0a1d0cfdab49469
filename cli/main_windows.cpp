// relicwright-cli on Windows: the arguments are taken from the wide command line, so names in any
// script reach the program intact as UTF-8, and the console is told that the output is UTF-8.
// Windows shells hand wildcards over unexpanded; the program expands them itself. A name that has
// no UTF-8 form (a lone surrogate, which NTFS allows) is refused, never passed on as another name.
#include "CommandLine.h"

#include "WideText.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <algorithm>
#include <string>
#include <vector>

namespace {

// The argument as the program takes it: its UTF-8 form, or the name its refusal shows it by.
std::string converted(const std::wstring& argument, std::vector<relicwright::FileError>& refused) {
    try {
        return relicwright::narrow(argument);
    } catch (const relicwright::FileError& refusal) {
        refused.push_back(refusal);
        return refusal.path();
    }
}

// The files a "*" or "?" in the last part of the argument names, sorted; the argument itself when
// it has no wildcard or names nothing, as the C runtime's own expansion does.
std::vector<std::string> expanded(const wchar_t* argument, std::vector<relicwright::FileError>& refused) {
    const std::wstring pattern(argument);
    const std::size_t nameStart = pattern.find_last_of(L"\\/:") + 1;
    if (pattern.find_first_of(L"*?", nameStart) == std::wstring::npos) {
        return {converted(pattern, refused)};
    }
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                             nullptr, 0);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                names.push_back(converted(pattern.substr(0, nameStart) + found.cFileName, refused));
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    if (names.empty()) {
        return {converted(pattern, refused)};
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

int main() {
    std::vector<std::string> arguments;
    std::vector<relicwright::FileError> refused;
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            const std::vector<std::string> names = expanded(wide[i], refused);
            arguments.insert(arguments.end(), names.begin(), names.end());
        }
        ::LocalFree(wide);
    }
    ::SetConsoleOutputCP(CP_UTF8);
    // The same bytes as on Linux, also when the output goes to a file or another program.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    std::ios::sync_with_stdio(false);
    const int status = relicwright::CommandLine::run(arguments, std::cout, std::cerr, refused);
    std::cout.flush();
    return status;
}
