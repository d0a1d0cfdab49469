#include "FuzzCases.h"

#include "FakeWindow.h"
#include "FaultInjectingFileSteps.h"
#include "ScratchDirectory.h"

#include "Converter.h"
#include "MemoryChoiceList.h"
#include "ItemCatalogue.h"
#include "ItemFileIo.h"
#include "MemoryFileSteps.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace relicwright::testing {

namespace {

void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken property: %s\n", what);
        std::abort();
    }
}

// The output is the loaded file behind the target's header, except the entry's code and, for unique
// and novelty entries, the quality byte; a file kept in its game keeps its own header and tail.
void checkOutput(const std::vector<std::uint8_t>& written, const ItemFileImage& loaded, GameVariant source,
                 GameVariant target, std::size_t index) {
    check(written.size() == kItemFileSize, "400 bytes written");
    ItemFileImage image{};
    std::copy(written.begin(), written.end(), image.begin());
    if (source == target) {
        check(std::equal(loaded.begin(), loaded.begin() + headerSize(source), image.begin()) &&
                  std::equal(loaded.begin() + 396, loaded.end(), image.begin() + 396),
              "a copy within a game keeps its header and tail");
    } else {
        check(hasStandardHeader(image, target), "the target's header");
        check(target == GameVariant::Diablo || (image[396] | image[397] | image[398] | image[399]) == 0,
              "a new .hif tail is zero");
    }
    for (std::size_t i = 0; i < kItemRecordSize; ++i) {
        const std::uint8_t out = image[headerSize(target) + i];
        if (i == kRecordCodeOffset) {
            check(out == encodeListIndex(target, index), "the entry's code");
        } else if (i != kRecordQualityOffset || !qualityForIndex(index)) {
            check(out == loaded[headerSize(source) + i], "record bytes carried");
        } else {
            check(out == *qualityForIndex(index), "the entry's quality");
        }
    }
}

// Files live in memory, so that a case is cheap; the real file steps have tests of their own.
std::vector<std::uint8_t> bytesAt(const MemoryFileSteps& files, const std::string& path) {
    const auto* bytes = files.find(path);
    return bytes != nullptr ? *bytes : std::vector<std::uint8_t>{};
}

} // namespace

void convertCase(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return;
    }
    const GameVariant source = data[0] & 1 ? GameVariant::Hellfire : GameVariant::Diablo;
    const GameVariant target = data[0] & 2 ? GameVariant::Hellfire : GameVariant::Diablo;
    const std::size_t index = data[1] % 104;
    MemoryFileSteps files;
    const std::string in = source == GameVariant::Diablo ? "/in.itm" : "/in.hif";
    files.put(in, std::vector<std::uint8_t>(data + 3, data + size));
    ItemFileImage loaded{};
    check(readItemFile(files, in, loaded) == size - 3, "the file's size");
    for (std::size_t i = 0; i < kItemFileSize; ++i) {
        check(loaded[i] == (i + 3 < size ? data[i + 3] : 0), "first 400 bytes read, the rest zero");
    }
    const auto output = convertItem(loaded, source, target, index);
    check(output.has_value() == (encodeListIndex(target, index) != 0), "refused exactly without a code");
    if (output) {
        writeItemFile(files, "/out", *output, data[2] & 1 ? ExistingFile::Keep : ExistingFile::Replace);
        checkOutput(bytesAt(files, "/out"), loaded, source, target, index);
    }
    check(files.openHandles() == 0, "every file opened was closed");
}

void workflowCase(const std::uint8_t* data, std::size_t size) {
    MemoryFileSteps files;
    files.put("/d/a.itm", bytesOf(sampleImage(GameVariant::Diablo, size > 0 ? data[0] : 113)));
    files.put("/d/b.HIF", bytesOf(sampleImage(GameVariant::Hellfire, 156)));
    files.put("/d/c.txt", std::vector<std::uint8_t>(3));
    files.put("/d/d.itm", std::vector<std::uint8_t>(100, 9));
    const std::string inputs[] = {"/d/a.itm", "/d/b.HIF", "/d/c.txt", "/d/d.itm", "/d/missing.hif", "/d/out.itm"};
    FakeWindow window;
    MemoryChoiceList items, targets;
    FaultInjectingFileSteps steps(files);
    Converter converter(items, targets, window, steps);
    converter.fillLists();
    std::size_t at = 0;
    auto next = [&] { return at < size ? data[at++] : std::uint8_t{0}; };
    while (at < size) {
        const std::uint8_t action = next();
        const std::uint8_t argument = next();
        steps.failing = FaultInjectingFileSteps::Step::None;
        window.answers.clear();
        const ConverterState before = converter.state();
        const ItemFileImage loaded = converter.sharedImage();
        const std::size_t messages = window.messages.size();
        const std::string fields = window.itemField + "|" + window.sourceGameField;
        auto unchanged = [&] {
            return converter.state() == before && converter.sharedImage() == loaded &&
                   window.itemField + "|" + window.sourceGameField == fields;
        };
        try {
            switch (action % 7) {
            case 0:
                window.answer(inputs[argument % 6]);
                converter.loadSourceFile();
                break;
            case 1:
                items.setSelection(argument < 250 ? std::optional<std::size_t>(argument % (items.count() + 1)) : std::nullopt);
                break;
            case 2:
                targets.setSelection(argument % (targets.count() + 1));
                break;
            case 3:
                converter.applyTargetGame();
                break;
            case 4:
                steps.failing = static_cast<FaultInjectingFileSteps::Step>(argument % FaultInjectingFileSteps::kStepCount);
                steps.error = 5;
                window.answer(argument & 0x80 ? "/d/out.itm" : "/d/out.hif");
                converter.saveOutputFile();
                break;
            case 5:
                window.cancel();
                argument & 1 ? converter.loadSourceFile() : converter.saveOutputFile();
                check(!(argument & 1) || unchanged(), "a cancelled load changes nothing");
                check(window.messages.size() == messages, "a cancelled dialog says nothing");
                break;
            default:
                converter.pushToWindow();
                check(window.sourceGameField == converter.state().sourceGameText &&
                          window.itemField == converter.state().itemText,
                      "the fields show the state");
            }
        } catch (const FileError&) {
            check(action % 7 != 0 || unchanged(), "a failed load changes nothing");
            check(window.messages.size() == messages, "a failure is never told as a success");
        }
        const ConverterState& state = converter.state();
        check(state.sourceGameText == "<Empty>" || state.sourceGameText == "Diablo" ||
                  state.sourceGameText == "Hellfire" || state.sourceGameText == "Invalid Game",
              "the source game is a variant or a marker");
        check(items.count() >= kItemChoiceCount && targets.count() >= 2 && items.entry(33) == "Dagger" &&
                  targets.entry(0) == "Hellfire",
              "the lists only grow");
        if (window.messages.size() > messages && window.messages.back().rfind("File saved", 0) == 0) {
            const auto source = variantFromText(state.sourceGameText);
            const auto target = variantFromText(state.targetGameText);
            check(source && target && items.selectedIndex(), "a save has both variants and an entry");
            checkOutput(bytesAt(files, state.outputPath), converter.sharedImage(),
                        *source, *target, *items.selectedIndex());
        }
        check(files.openHandles() == 0, "every file opened was closed");
    }
}

} // namespace relicwright::testing
