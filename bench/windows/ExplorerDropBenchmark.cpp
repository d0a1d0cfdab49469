// Explorer's "Convert to Hellfire item" on 1 and on 150 files (and any other counts given), under Wine: the
// time from the call (activation included, as Explorer pays it) to its return, and to the last output on
// disk. Each round starts a new server. Prints the median of the rounds.
#include "ExplorerClient.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int wmain(int count, wchar_t** arguments) {
    if (count < 4) {
        std::fprintf(stderr, "usage: explorer_drop_benchmark WINDOW_FOLDER SAMPLE.itm ROUNDS [FILES...]\n");
        return 2;
    }
    const std::wstring program = std::wstring(arguments[1]) + L"\\relicwright.exe";
    const fs::path sample = arguments[2];
    const int rounds = std::max(1, _wtoi(arguments[3]));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (!explorer::registerProxy()) {
        std::fprintf(stderr, "no IDropTarget proxy beside the benchmark\n");
        return 1;
    }
    // The build's own registration, under the user's classes as the installer writes it and under
    // HKLM where Wine looks.
    const CLSID toHellfire = {0xF2E6C720, 0xDFFA, 0x4F1E, {0xAD, 0x5F, 0x9A, 0xC9, 0x06, 0x2A, 0x7E, 0xB2}};
    const std::wstring verb = std::wstring(explorer::kVerbs) + L".itm\\shell\\RelicwrightBenchmark";
    const std::wstring clsid = L"{F2E6C720-DFFA-4F1E-AD5F-9AC9062A7EB2}";
    explorer::registerVerb(L".itm", L"RelicwrightBenchmark", toHellfire, program);
    explorer::setValue(HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\" + clsid + L"\\LocalServer32",
                       nullptr, L"\"" + program + L"\"");
    const CLSID verbClass = explorer::verbClass(L".itm", L"RelicwrightBenchmark");

    wchar_t temporary[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temporary);
    const fs::path folder = fs::path(temporary) / L"relicwright-drop-benchmark";
    int status = 0;
    std::printf("| files | call returned (ms) | last output (ms) |\n|---:|---:|---:|\n");
    std::vector<int> counts{1, 150};
    for (int index = 4; index < count; ++index)
        counts.push_back(_wtoi(arguments[index]));
    for (const int files : counts) {
        std::vector<double> returned, finished;
        for (int round = 0; round < rounds && status == 0; ++round) {
            fs::remove_all(folder);
            fs::create_directories(folder);
            std::vector<std::wstring> names;
            for (int index = 0; index < files; ++index) {
                names.push_back(L"item " + std::to_wstring(index) + L".itm");
                fs::copy_file(sample, folder / names.back());
            }
            explorer::Held<IDataObject> data;
            if (explorer::selection(folder.wstring(), names, data.put()) != S_OK) {
                status = 1;
                break;
            }
            const Clock::time_point start = Clock::now();
            if (explorer::dropOn(verbClass, data.pointer) != S_OK) {
                std::fprintf(stderr, "the call failed\n");
                status = 1;
                break;
            }
            returned.push_back(milliseconds(Clock::now() - start));
            // The last output is there when every output has its 400 bytes.
            for (std::size_t done = 0; done < names.size();) {
                const fs::path output = folder / fs::path(names[done]).replace_extension(L".hif");
                std::error_code missing;
                if (fs::file_size(output, missing) == 400) {
                    ++done;
                } else if (Clock::now() - start > std::chrono::seconds(600)) {
                    status = 1;
                    break;
                } else {
                    Sleep(1);
                }
            }
            finished.push_back(milliseconds(Clock::now() - start));
            Sleep(500); // the server ends before the next round starts another
        }
        if (status == 0) {
            std::printf("| %d | %.0f | %.0f |\n", files, median(returned), median(finished));
        }
    }
    fs::remove_all(folder);
    RegDeleteTreeW(HKEY_CURRENT_USER, verb.c_str());
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RegDeleteTreeW(root, (L"Software\\Classes\\CLSID\\" + clsid).c_str());
    }
    CoUninitialize();
    return status;
}
