#pragma once

#include "ChoiceList.h"
#include "ConverterState.h"
#include "WindowServices.h"

#include "FileSteps.h"
#include "ItemFileImage.h"

namespace relicwright {

inline constexpr const char* kOpenFilter =
    "Both Files (*.itm;*.hif)|*.itm;*.hif|Diablo Files (*.itm)|*.itm|Hellfire Files (*.hif)|*.hif|"
    "All Files (*.*)|*.*||";
inline constexpr const char* kHellfireSaveFilter = "Hellfire Files (*.hif)|*.hif||";
inline constexpr const char* kDiabloSaveFilter = "Diablo Files (*.itm)|*.itm||";
inline constexpr unsigned kOpenOptions = LongFileNames | FileMustExist | HideReadOnly;
inline constexpr unsigned kSaveOptions = OverwritePrompt | HideReadOnly | LongFileNames;

// The conversion workflow: the window's state, its two choice lists and the loaded file image,
// with the operations the window's controls run. It catches nothing: a FileError leaves the
// operation where it was raised, for the window's guard to report.
class Converter {
public:
    Converter(ChoiceList& itemList, ChoiceList& targetList, WindowServices& window, FileSteps& files);

    // Appends the catalogue entries to both lists, with no selection.
    void fillLists();

    // Load: the file-open dialog, then loadFile with its answer.
    void loadSourceFile();
    // Loads a file chosen outside the dialog (an argument, a drop, the page's picker) exactly as
    // a confirmed dialog answer is loaded; a choice that is not confirmed changes nothing.
    void loadFile(const FileChoice& choice);
    void applyTargetGame();
    void saveOutputFile();
    void pushToWindow();

    const ConverterState& state() const { return state_; }
    // The bytes of the last file read: all zero until a file has been read.
    const ItemFileImage& sharedImage() const { return sharedImage_; }

private:
    ChoiceList& itemList_;
    ChoiceList& targetList_;
    WindowServices& window_;
    FileSteps& files_;
    ConverterState state_;
    ItemFileImage sharedImage_{};
};

} // namespace relicwright
