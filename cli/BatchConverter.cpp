#include "BatchConverter.h"

#include "ItemFileInspector.h"
#include "Utf8Path.h"

#include "converter/FileChoice.h"
#include "itemdata/FileError.h"
#include "itemdata/FileSteps.h"
#include "itemdata/ItemCatalogue.h"
#include "itemdata/ItemFileImage.h"
#include "itemdata/ItemFileIo.h"
#include "itemdata/PathText.h"

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

namespace relicwright {

std::string inQuotes(std::string_view text) {
    // Appended piece by piece: GCC 12 at -O3 misreads `"\"" + std::string(...)` as overlapping copies.
    std::string result;
    result.reserve(text.size() + 2);
    result.push_back('"');
    result.append(text);
    result.push_back('"');
    return result;
}

BatchConverter::BatchConverter(ConvertOptions options) : options_(std::move(options)) {
    std::error_code error;
    workingDirectory_ = utf8Of(std::filesystem::current_path(error));
}

// Two spellings of one output ("out/a.hif", "./out/a.hif") must be seen as the same file.
std::string BatchConverter::comparablePath(const std::string& path) const {
    const std::filesystem::path given = pathFromUtf8(path);
    if (given.is_absolute() || workingDirectory_.empty()) {
        return utf8Of(given.lexically_normal());
    }
    return utf8Of((pathFromUtf8(workingDirectory_) / given).lexically_normal());
}

std::string BatchConverter::outputPathFor(const std::string& path) const {
    if (!options_.outputFile.empty()) {
        return options_.outputFile;
    }
    const std::string name =
        FileChoice::fromPath(path).title + "." + std::string(variantExtension(options_.target));
    if (!options_.outputDirectory.empty()) {
        const std::string& directory = options_.outputDirectory;
        if (directory.find_last_of(pathSeparators()) + 1 == directory.size()) {
            return directory + name;
        }
        // The separator the directory is written with, where a platform knows two.
        const bool slashes =
            directory.find('/') != std::string::npos && directory.find('\\') == std::string::npos;
        return directory + (slashes ? '/' : pathSeparators().front()) + name;
    }
    return path.substr(0, fileNameStart(path)) + name;
}

ConversionOutcome BatchConverter::convert(const std::string& path) {
    const std::string key = comparablePath(outputPathFor(path));
    ConversionOutcome outcome = convertOne(path, written_.contains(key));
    if (outcome.converted) {
        written_.insert(key);
    }
    return outcome;
}

ConversionOutcome BatchConverter::convertOne(const std::string& path, bool outputWrittenBefore) const {
    ConversionOutcome outcome;
    const auto source = ItemFileInspector::variantOfPath(path);
    if (!source) {
        outcome.message = "not an item file: the extension is neither .itm nor .hif";
        return outcome;
    }

    ItemFileImage loaded{};
    try {
        readItemFile(platformFileSteps(), path, loaded);
    } catch (const FileError& error) {
        outcome.message = error.message();
        return outcome;
    }

    const std::uint8_t sourceCode = loaded[codeOffset(*source)];
    std::optional<std::size_t> index = options_.itemIndex;
    if (!index) {
        index = entryHoldingName(decodeItemName(*source, sourceCode));
        if (!index) {
            outcome.message = "base item code " + std::to_string(sourceCode) + " is not a registered " +
                              inQuotes(variantText(*source)) + " item; choose an entry with --item";
            return outcome;
        }
    }
    outcome.itemIndex = *index;

    const auto image = convertItem(loaded, *source, options_.target, index);
    if (!image) {
        outcome.message = "entry " + std::to_string(*index) + " " + inQuotes(itemChoiceEntries()[*index]) +
                          " has no item code";
        return outcome;
    }

    outcome.outputPath = outputPathFor(path);
    if (outputWrittenBefore) {
        outcome.message = outcome.outputPath + " was already written by this run";
        return outcome;
    }
    auto exists = [&] {
        std::error_code error;
        return std::filesystem::exists(std::filesystem::symlink_status(pathFromUtf8(outcome.outputPath), error));
    };
    const std::string refusal = outcome.outputPath + " already exists; use --force to replace it";
    if (!options_.force && exists()) {
        outcome.message = refusal;
        return outcome;
    }
    try {
        // Keep, not just the check above: another program may create the file meanwhile.
        writeItemFile(platformFileSteps(), outcome.outputPath, *image,
                      options_.force ? ExistingFile::Replace : ExistingFile::Keep);
    } catch (const FileError& error) {
        outcome.message = !options_.force && exists() ? refusal : error.message();
        return outcome;
    }
    outcome.converted = true;
    return outcome;
}

namespace {

// Each save waits for the disk twice (the file, then its directory); while one thread waits, the
// others' saves join the same journal commit. Measured in bench/: more threads gain little.
constexpr std::size_t kWorkers = 16;
// Files started but not yet reported: bounds the memory and the open files whatever the count.
constexpr std::size_t kWindow = 4 * kWorkers;

// The workers' side: files to convert, and outcomes waiting for their turn to be reported.
struct SharedWork {
    std::mutex mutex;
    std::condition_variable started;
    std::condition_variable finished;
    std::deque<std::pair<std::size_t, bool>> pending; // input index, output written before
    std::vector<std::optional<ConversionOutcome>> outcomes =
        std::vector<std::optional<ConversionOutcome>>(kWindow);
    bool closing = false;
};

// Stops and joins the workers on every way out.
class Workers {
public:
    explicit Workers(SharedWork& work) : work_(work) {}
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;
    ~Workers() {
        {
            const std::lock_guard lock(work_.mutex);
            work_.closing = true;
        }
        work_.started.notify_all();
        for (auto& thread : threads_) {
            thread.join();
        }
    }
    template <typename Task> void start(std::size_t count, Task task) {
        try {
            while (threads_.size() < count) {
                threads_.emplace_back(task);
            }
        } catch (const std::system_error&) {
            // Fewer threads only cost speed; with none the caller converts on its own.
        }
    }
    bool none() const { return threads_.empty(); }

private:
    SharedWork& work_;
    std::vector<std::thread> threads_;
};

} // namespace

void BatchConverter::convertAll(const std::vector<std::string>& paths,
                                const std::function<void(std::size_t, const ConversionOutcome&)>& report) {
    SharedWork work;
    auto convertGuarded = [&](std::size_t index, bool writtenBefore) {
        try {
            return convertOne(paths[index], writtenBefore);
        } catch (const std::exception& error) {
            ConversionOutcome failed;
            failed.message = error.what();
            return failed;
        }
    };
    auto runOne = [&](std::unique_lock<std::mutex>& lock) {
        const auto [index, writtenBefore] = work.pending.front();
        work.pending.pop_front();
        lock.unlock();
        ConversionOutcome outcome = convertGuarded(index, writtenBefore);
        lock.lock();
        work.outcomes[index % kWindow] = std::move(outcome);
    };

    Workers workers(work);
    workers.start(std::min(kWorkers, paths.size()), [&] {
        std::unique_lock lock(work.mutex);
        for (;;) {
            work.started.wait(lock, [&] { return work.closing || !work.pending.empty(); });
            if (work.pending.empty()) {
                return;
            }
            runOne(lock);
            work.finished.notify_one();
        }
    });

    // Paths that files under way read or write; a file touching one of them waits for its turn.
    std::multiset<std::string> busy;
    std::vector<std::pair<std::string, std::string>> keys(kWindow);
    std::size_t next = 0;
    for (std::size_t reported = 0; reported < paths.size(); ++reported) {
        for (; next < paths.size() && next - reported < kWindow; ++next) {
            std::pair<std::string, std::string> touched{comparablePath(paths[next]),
                                                        comparablePath(outputPathFor(paths[next]))};
            if (busy.contains(touched.first) || busy.contains(touched.second)) {
                break;
            }
            const bool writtenBefore = written_.contains(touched.second);
            busy.insert(touched.first);
            busy.insert(touched.second);
            keys[next % kWindow] = std::move(touched);
            {
                const std::lock_guard lock(work.mutex);
                work.pending.emplace_back(next, writtenBefore);
            }
            work.started.notify_one();
        }

        auto& slot = work.outcomes[reported % kWindow];
        std::unique_lock lock(work.mutex);
        while (!slot) {
            if (workers.none()) {
                runOne(lock);
            } else {
                work.finished.wait(lock);
            }
        }
        const ConversionOutcome outcome = std::move(*slot);
        slot.reset();
        lock.unlock();

        auto& [source, output] = keys[reported % kWindow];
        busy.erase(busy.find(source));
        busy.erase(busy.find(output));
        if (outcome.converted) {
            written_.insert(output);
        }
        report(reported, outcome);
    }
}

} // namespace relicwright
