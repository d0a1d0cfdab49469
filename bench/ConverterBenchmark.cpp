// The conversion workflow in-process, as the window drives it but with the dialogs answered at once:
// load, target change and save of one item file.
#include "Converter.h"
#include "FileSteps.h"
#include "MemoryChoiceList.h"
#include "ItemCatalogue.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace {

using namespace relicwright;

// Answers every dialog with the same file and shows nothing.
class AnsweringWindow final : public WindowServices {
public:
    AnsweringWindow(std::string source, std::string output)
        : source_(FileChoice::fromPath(source)), output_(FileChoice::fromPath(output)) {}
    FileChoice promptOpenFile(const std::string&, unsigned) override { return source_; }
    FileChoice promptSaveFile(const std::string&, const std::string&, const std::string&, unsigned) override {
        return output_;
    }
    void showMessage(const std::string& text) override { lastMessage = text; }
    void setSourceGameField(const std::string&) override {}
    void setItemField(const std::string&) override {}
    void reportOutOfMemory() override {}

    std::string lastMessage;

private:
    FileChoice source_;
    FileChoice output_;
};

class Workbench {
public:
    Workbench() {
        std::string pattern = "/tmp/relicwright-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        directory_ = pattern;
        ItemFileImage image{};
        for (std::size_t i = 0; i < image.size(); ++i) {
            image[i] = static_cast<std::uint8_t>(i * 7);
        }
        std::copy(kDiabloHeaderText.begin(), kDiabloHeaderText.end(), image.begin());
        image[codeOffset(GameVariant::Diablo)] = 113; // Dagger
        std::ofstream(source(), std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        window_ = std::make_unique<AnsweringWindow>(source(), directory_ + "/dagger.hif");
        converter_ = std::make_unique<Converter>(itemList_, targetList_, *window_, platformFileSteps());
        converter_->fillLists();
    }
    ~Workbench() {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    Workbench(const Workbench&) = delete;
    Workbench& operator=(const Workbench&) = delete;

    std::string source() const { return directory_ + "/dagger.itm"; }
    std::string directory() const { return directory_; }
    Converter& converter() { return *converter_; }
    MemoryChoiceList& targetList() { return targetList_; }
    const std::string& lastMessage() const { return window_->lastMessage; }

private:
    std::string directory_;
    MemoryChoiceList itemList_;
    MemoryChoiceList targetList_;
    std::unique_ptr<AnsweringWindow> window_;
    std::unique_ptr<Converter> converter_;
};

void checkSaved(benchmark::State& state, const Workbench& bench) {
    if (bench.lastMessage() != "File saved to Harddrive") {
        state.SkipWithError(("not saved: " + bench.lastMessage()).c_str());
    }
}

void BM_Load(benchmark::State& state) {
    Workbench bench;
    for (auto _ : state) {
        bench.converter().loadSourceFile();
        benchmark::DoNotOptimize(bench.converter().sharedImage().data());
    }
}
BENCHMARK(BM_Load);

void BM_TargetChange(benchmark::State& state) {
    Workbench bench;
    bench.converter().loadSourceFile();
    std::size_t target = 0;
    for (auto _ : state) {
        bench.targetList().setSelection(target);
        bench.converter().applyTargetGame();
        benchmark::DoNotOptimize(bench.converter().state().outputFileName.data());
        target ^= 1;
    }
}
BENCHMARK(BM_TargetChange);

// Every save flushes the file to disk, as the window's does.
void BM_Save(benchmark::State& state) {
    Workbench bench;
    bench.converter().loadSourceFile();
    for (auto _ : state) {
        bench.converter().saveOutputFile();
    }
    checkSaved(state, bench);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMicrosecond);

void BM_LoadTargetChangeSave(benchmark::State& state) {
    Workbench bench;
    for (auto _ : state) {
        bench.converter().loadSourceFile();
        bench.targetList().setSelection(0); // "Hellfire"
        bench.converter().applyTargetGame();
        bench.converter().saveOutputFile();
    }
    checkSaved(state, bench);
}
BENCHMARK(BM_LoadTargetChangeSave)->Unit(benchmark::kMicrosecond);

// Baselines in the same process, with the system calls a load or a save cannot do without, so that
// each workflow figure can be read as a ratio measured in the same run.
void readBare(const std::string& path, ItemFileImage& image) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::read(fd, image.data(), image.size()) < 0) {
        std::perror(path.c_str());
    }
    ::close(fd);
}

void writeBare(const std::string& directory, const ItemFileImage& image) {
    const std::string temporary = directory + "/bare.tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 || ::write(fd, image.data(), image.size()) != static_cast<ssize_t>(image.size()) ||
        ::fsync(fd) != 0 || ::close(fd) != 0 ||
        ::rename(temporary.c_str(), (directory + "/bare.hif").c_str()) != 0) {
        std::perror(temporary.c_str());
    }
}

void BM_BaselineRead(benchmark::State& state) {
    Workbench bench;
    ItemFileImage image{};
    for (auto _ : state) {
        readBare(bench.source(), image);
        benchmark::DoNotOptimize(image.data());
    }
}
BENCHMARK(BM_BaselineRead);

void BM_BaselineWrite(benchmark::State& state) {
    Workbench bench;
    ItemFileImage image{};
    readBare(bench.source(), image);
    for (auto _ : state) {
        writeBare(bench.directory(), image);
    }
}
BENCHMARK(BM_BaselineWrite)->Unit(benchmark::kMicrosecond);

void BM_BaselineReadWrite(benchmark::State& state) {
    Workbench bench;
    ItemFileImage image{};
    for (auto _ : state) {
        readBare(bench.source(), image);
        writeBare(bench.directory(), image);
    }
}
BENCHMARK(BM_BaselineReadWrite)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
