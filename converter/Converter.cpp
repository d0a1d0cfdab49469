#include "Converter.h"

#include "itemdata/GameVariant.h"
#include "itemdata/ItemCatalogue.h"
#include "itemdata/ItemFileIo.h"

#include <new>

namespace relicwright {

namespace {

// "File saved to Harddrive" across games, with "!" within one game; the refusals differ in "Saved".
const char* successMessage(bool sameVariant) {
    return sameVariant ? "File saved to Harddrive!" : "File saved to Harddrive";
}
const char* refusalMessage(bool sameVariant) {
    return sameVariant ? "File Not Saved! Perhaps some wrong Selections."
                       : "File Not saved! Perhaps some wrong Selections.";
}

} // namespace

Converter::Converter(ChoiceList& itemList, ChoiceList& targetList, WindowServices& window,
                     FileSteps& files)
    : itemList_(itemList), targetList_(targetList), window_(window), files_(files) {}

void Converter::fillLists() {
    for (const auto entry : itemChoiceEntries()) {
        itemList_.append(std::string(entry));
    }
    for (const auto entry : targetGameEntries()) {
        targetList_.append(std::string(entry));
    }
}

void Converter::loadSourceFile() {
    loadFile(window_.promptOpenFile(kOpenFilter, kOpenOptions));
}

void Converter::loadFile(const FileChoice& choice) {
    if (!choice.confirmed) {
        return;
    }
    const std::string extension = choice.lowerExtension();
    const auto variant = variantFromExtension(extension);
    if (variant) {
        // Read before touching the state: a file that cannot be read leaves everything as it was.
        ItemFileImage image = sharedImage_;
        readItemFile(files_, choice.path, image);
        sharedImage_ = image;
    }

    state_.sourcePath = choice.path;
    state_.sourceFileName = choice.fileName;
    state_.sourceTitle = choice.title;
    state_.sourceExtension = extension;

    if (variant) {
        const std::uint8_t code = sharedImage_[codeOffset(*variant)];
        state_.decodedItemName = std::string(decodeItemName(*variant, code));
        const GameVariant target = otherVariant(*variant);
        state_.outputExtension = std::string(variantExtension(target));
        state_.outputFileName = state_.sourceTitle + "." + state_.outputExtension;
        state_.sourceGameText = std::string(variantText(*variant));
        state_.itemText = state_.decodedItemName;
        targetList_.selectByPrefix(std::string(variantText(target)));
        if (const auto found = proposedItem(sharedImage_, *variant).selected) {
            itemList_.setSelection(found);
        } else {
            itemList_.append(kNotFoundMarker);
            itemList_.selectByPrefix(kNotFoundMarker);
        }
    } else {
        state_.sourceFileName = kInvalidFileMarker;
        state_.outputExtension.clear();
        state_.outputFileName = kInvalidFileMarker;
        state_.sourceGameText = kInvalidGameMarker;
        state_.itemText = kNotSpecifiedMarker;
        targetList_.append(kNotSpecifiedMarker);
        targetList_.selectByPrefix(kNotSpecifiedMarker);
        if (const auto found = itemList_.findExact(kNotSpecifiedMarker)) {
            itemList_.setSelection(found);
        } else {
            itemList_.append(kNotSpecifiedMarker);
            itemList_.selectByPrefix(kNotSpecifiedMarker);
        }
    }
    pushToWindow();
}

void Converter::applyTargetGame() {
    if (state_.sourceFileName == kEmptyMarker || state_.sourceFileName == kInvalidFileMarker) {
        return;
    }
    state_.targetGameText = targetList_.selectedText();
    if (const auto target = variantFromText(state_.targetGameText)) {
        state_.outputFileName = state_.sourceTitle + "." + std::string(variantExtension(*target));
        state_.outputExtension = std::string(variantExtension(*target));
    } else {
        state_.outputFileName = kNotSpecifiedMarker;
    }
    pushToWindow();
}

void Converter::saveOutputFile() {
    state_.selectedItemText = itemList_.selectedText();
    if (state_.selectedItemText == kNotFoundMarker) {
        return;
    }
    if (state_.outputExtension == "hif") {
        state_.saveFilter = kHellfireSaveFilter;
    } else if (state_.outputExtension == "itm") {
        state_.saveFilter = kDiabloSaveFilter;
    } else {
        state_.saveFilter.clear();
    }
    const FileChoice choice = window_.promptSaveFile(state_.saveFilter, state_.outputExtension,
                                                     state_.outputFileName, kSaveOptions);
    if (!choice.confirmed) {
        pushToWindow();
        return;
    }
    state_.targetGameText = targetList_.selectedText();
    const auto index = itemList_.selectedIndex();
    const auto source = variantFromText(state_.sourceGameText);
    const auto target = variantFromText(state_.targetGameText);
    if (source && target) {
        const bool sameVariant = *source == *target;
        if (const auto image = convertItem(sharedImage_, *source, *target, index)) {
            state_.outputPath = choice.path;
            writeItemFile(files_, state_.outputPath, *image);
            window_.showMessage(successMessage(sameVariant));
        } else {
            window_.showMessage(refusalMessage(sameVariant));
        }
    }
    pushToWindow();
}

void Converter::pushToWindow() {
    try {
        window_.setSourceGameField(state_.sourceGameText);
        window_.setItemField(state_.itemText);
    } catch (const std::bad_alloc&) {
        window_.reportOutOfMemory();
    }
}

} // namespace relicwright
