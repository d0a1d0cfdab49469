#include "ConvertFuzzCase.h"

#include "FuzzInput.h"
#include "ReferenceConversion.h"
#include "ScriptedWindow.h"

#include "converter/Converter.h"
#include "converter/ItemFileAccess.h"
#include "converter/MemoryChoiceList.h"
#include "itemdata/ItemCatalogue.h"

#include <algorithm>
#include <array>
#include <set>
#include <sstream>
#include <unistd.h>

namespace relicwright::fuzz {

namespace {

constexpr std::array<const char*, ConvertFuzzCase::kNamedExtensions> kExtensions = {
    "itm", "hif", "ITM", "Hif", "HIF", "iTm", "txt", "", ".", "itm.", "hi", "itmx", "hif "};

const std::string kLongStem(251, 'x');
const std::array<std::string, ConvertFuzzCase::kNamedStems> kStems = {
    "item", "a.b", "", "%1", "<b>x&amp;<i>", "\xff\xfe\xc3(", kLongStem, "SWORD", "-rf"};

constexpr std::array<std::size_t, 11> kSeparators = {0, 7, 25, 32, 45, 52, 60, 69, 75, 78, 89};

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string sourceName(FuzzInput& in) {
    const std::uint8_t extensionChoice = in.byte();
    std::string extension;
    bool dot = true;
    if (extensionChoice < kExtensions.size()) {
        extension = kExtensions[extensionChoice];
        if (extension.empty()) {
            dot = false;
        } else if (extension == ".") {
            extension.clear();
        }
    } else {
        for (const std::uint8_t b : in.bytes(in.byte() % 6u)) {
            extension.push_back(b == '/' || b == 0 ? 'x' : static_cast<char>(b));
        }
    }
    const std::uint8_t stemChoice = in.byte();
    std::string stem = kStems[stemChoice % kStems.size()];
    std::string name = stem + (dot ? "." : "") + extension;
    if (name.size() > 255) {
        name = name.substr(name.size() - 255);
    }
    if (name.empty() || name == "." || name == "..") {
        name = "item";
    }
    return name;
}

class Failure {
public:
    template <class T> Failure& operator<<(const T& value) {
        text_ << value;
        return *this;
    }
    std::string str() const { return text_.str(); }

private:
    std::ostringstream text_;
};

std::string hexOf(const std::string& text) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7f) {
            out.push_back(c);
        } else {
            out += "\\x";
            out.push_back(digits[b >> 4]);
            out.push_back(digits[b & 15]);
        }
    }
    return out;
}

} // namespace

Bytes ConvertFuzzCase::Script::toBytes() const {
    const std::array<std::uint8_t, 6> choices = {extension, stem, itemMode, itemValue, target, flags};
    Bytes out(choices.size() + content.size());
    std::copy(choices.begin(), choices.end(), out.begin());
    std::copy(content.begin(), content.end(), out.begin() + static_cast<std::ptrdiff_t>(choices.size()));
    return out;
}

ConvertFuzzCase::ConvertFuzzCase() : scratch_(ScratchDirectory::Place::PreferMemory) {}

std::optional<std::string> ConvertFuzzCase::run(const std::uint8_t* data, std::size_t size) {
    scratch_.clear();
    FuzzInput in(data, size);
    const std::string name = sourceName(in);
    const std::uint8_t itemMode = in.byte();
    const std::uint8_t itemValue = in.byte();
    const std::uint8_t targetChoice = in.byte();
    const std::uint8_t flags = in.byte();
    const Bytes content = in.rest();

    const std::string sourcePath = scratch_.file(name);
    ScratchDirectory::writeBytes(sourcePath, content);

    MemoryChoiceList itemList;
    MemoryChoiceList targetList;
    ScriptedWindow window;
    PosixItemFileAccess files;
    Converter converter(itemList, targetList, window, files);
    converter.fillLists();

    window.openAnswers.push_back(FileChoice::fromPath(sourcePath));
    try {
        converter.loadSourceFile();
    } catch (const FileError& error) {
        return (Failure() << "loading the regular file " << hexOf(name) << " failed: " << error.message())
            .str();
    }

    const FileChoice choice = FileChoice::fromPath(sourcePath);
    const auto variant = variantFromExtension(lowerAscii(choice.extension));
    const ConverterState& state = converter.state();
    if (variant) {
        const GameVariant target = otherVariant(*variant);
        if (converter.sharedImage() != expectedImageAfterRead(content)) {
            return (Failure() << "the image is not the first 400 bytes of a " << content.size()
                              << "-byte file followed by zeros")
                .str();
        }
        const std::uint8_t code = converter.sharedImage()[*variant == GameVariant::Diablo ? 392 : 388];
        const std::string decoded(decodeItemName(*variant, code));
        if (!isKnownDecodedName(decoded)) {
            return (Failure() << "code " << int{code} << " decodes to the unknown name " << hexOf(decoded))
                .str();
        }
        if (state.sourceGameText != variantText(*variant) || state.itemText != decoded ||
            state.outputFileName != choice.title + "." + std::string(variantExtension(target)) ||
            window.sourceGameField != state.sourceGameText || window.itemField != state.itemText) {
            return (Failure() << "the load of " << hexOf(name) << " left the fields " << state.sourceGameText
                              << " / " << hexOf(state.itemText) << " / " << hexOf(state.outputFileName))
                .str();
        }
        if (targetList.selectedText() != variantText(target)) {
            return (Failure() << "the proposed target is " << targetList.selectedText()).str();
        }
        const std::string selected = itemList.selectedText();
        if (itemList.findExact(decoded) ? lowerAscii(selected) != lowerAscii(decoded)
                                        : selected != "<not found>") {
            return (Failure() << "the item list selects " << hexOf(selected) << " for " << hexOf(decoded))
                .str();
        }
    } else {
        if (converter.sharedImage() != ItemFileImage{} || state.sourceGameText != "Invalid Game" ||
            state.itemText != "<not specified>" || state.outputFileName != "Invalid File" ||
            itemList.selectedText() != "<not specified>" || targetList.selectedText() != "<not specified>") {
            return (Failure() << "the file " << hexOf(name)
                              << " with no item extension was not refused cleanly")
                .str();
        }
    }

    // Pick what the saved item is to become.
    switch (itemMode % 8u) {
    case NoItem:
        itemList.setSelection(std::nullopt);
        break;
    case Separator:
        itemList.setSelection(kSeparators[itemValue % kSeparators.size()]);
        break;
    case Appended:
        if (itemList.count() > kItemChoiceCount) {
            itemList.setSelection(kItemChoiceCount + itemValue % (itemList.count() - kItemChoiceCount));
        }
        break;
    case KeepLoaded:
        break;
    default:
        itemList.setSelection(itemValue % kItemChoiceCount);
        break;
    }
    switch (targetChoice % 6u) {
    case PickHellfire:
        targetList.setSelection(0);
        break;
    case PickDiablo:
        targetList.setSelection(1);
        break;
    case NoTarget:
        targetList.setSelection(std::nullopt);
        break;
    case AppendedTarget:
        targetList.setSelection(targetList.count() > 2 ? std::optional<std::size_t>(2) : std::nullopt);
        break;
    default:
        break;
    }
    if ((flags & ApplyTarget) != 0) {
        converter.applyTargetGame();
    }

    // Save, possibly over an existing file or through a symbolic link.
    const std::string outputName = "converted";
    const std::string outputPath = scratch_.file(outputName);
    std::string storedPath = outputPath;
    std::set<std::string> expectedNames = {name};
    const Bytes previous(57, 0xA5);
    const bool outputIsLink = (flags & OutputIsLink) != 0;
    const bool outputExists = (flags & OutputExists) != 0;
    if (outputIsLink) {
        storedPath = scratch_.file("linked target");
        if (::symlink("linked target", outputPath.c_str()) != 0) {
            return std::string("cannot create the symbolic link");
        }
        expectedNames.insert(outputName);
    }
    if (outputExists) {
        ScratchDirectory::writeBytes(storedPath, previous);
        expectedNames.insert(outputIsLink ? "linked target" : outputName);
    }

    const ItemFileImage imageBefore = converter.sharedImage();
    const ExpectedSave expected = expectedSave(imageBefore, state.sourceGameText, itemList.selectedText(),
                                               targetList.selectedText(), itemList.selectedIndex(), true);
    const ConverterState stateBefore = state;
    const auto itemsBefore = itemList.entries();
    const auto itemSelectionBefore = itemList.selectedIndex();
    window.messages.clear();
    window.saveAnswers.push_back(FileChoice::fromPath(outputPath));
    try {
        converter.saveOutputFile();
    } catch (const FileError& error) {
        return (Failure() << "saving into the scratch directory failed: " << error.message()).str();
    }

    if (converter.sharedImage() != imageBefore || itemList.entries() != itemsBefore ||
        itemList.selectedIndex() != itemSelectionBefore ||
        state.sourceGameText != stateBefore.sourceGameText || state.itemText != stateBefore.itemText) {
        return std::string("the save changed the loaded image, the item list or the loaded fields");
    }
    const auto stored = ScratchDirectory::readBytes(storedPath);
    using Outcome = ExpectedSave::Outcome;
    if (expected.outcome == Outcome::NoDialog && !window.saveDialogs.empty()) {
        return std::string("a save with \"<not found>\" selected asked for a file");
    }
    if (expected.outcome != Outcome::NoDialog && window.saveDialogs.size() != 1) {
        return std::string("the save did not ask for a file exactly once");
    }
    if (expected.outcome == Outcome::Written) {
        expectedNames.insert(outputIsLink ? "linked target" : outputName);
        if (!stored || stored->size() != kItemFileSize ||
            !std::equal(stored->begin(), stored->end(), expected.image.begin())) {
            return (Failure() << "the file written (" << (stored ? stored->size() : 0)
                              << " bytes) is not the converted image")
                .str();
        }
        const GameVariant target =
            targetList.selectedText() == "Diablo" ? GameVariant::Diablo : GameVariant::Hellfire;
        const std::uint8_t code = (*stored)[target == GameVariant::Diablo ? 392 : 388];
        if (decodeItemName(target, code) != decodedNameOfIndex(*itemList.selectedIndex())) {
            return (Failure() << "code " << int{code} << " does not decode back to entry "
                              << *itemList.selectedIndex())
                .str();
        }
    } else {
        const bool untouched = outputExists ? stored == previous : !stored.has_value();
        if (!untouched) {
            return std::string("a save that was to write nothing changed the output");
        }
    }
    const std::vector<std::string> wantMessages =
        expected.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{expected.message};
    if (window.messages != wantMessages) {
        return (Failure() << "the save showed " << window.messages.size() << " messages, the first being "
                          << (window.messages.empty() ? std::string("none") : window.messages.front()))
            .str();
    }
    const auto names = scratch_.names();
    if (std::set<std::string>(names.begin(), names.end()) != expectedNames ||
        names.size() != expectedNames.size()) {
        std::string listing;
        for (const auto& n : names) {
            listing += " [" + hexOf(n) + "]";
        }
        return "the directory holds" + listing;
    }
    return std::nullopt;
}

} // namespace relicwright::fuzz
