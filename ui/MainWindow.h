#pragma once

#include "DialogUnits.h"
#include "DispatchGuard.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>

class QLineEdit;
class QMimeData;
class QPushButton;

namespace relicwright {

class AboutBox;
class BannerPicture;
class ComboChoiceList;
class Converter;
class DropDownList;
class FileDialogs;
class HelpViewer;
class FileSteps;
class MessagePresenter;
class QtWindowServices;

// Dialog 102 (kMainWindowDialog), the program's one window: Load and Save, the loaded item and game, the item and
// target-game lists. It owns the conversion workflow and runs every user action through one
// dispatch guard, so an error is shown in a message box and the window carries on.
//
// Controls are named after their numbers (Control): "1000" Load, "1001" Save, "1003" item field,
// "1005" item list, "1006" source-game field, "1007" target-game list; the picture is "banner".
class MainWindow final : public QDialog {
    Q_OBJECT

public:
    // Everything the window talks to outside itself. All are the caller's and must outlive the
    // window. The program passes the Qt dialogs and message boxes, the desktop help viewer and
    // the platform's file steps; tests pass fakes that answer dialogs and record message boxes,
    // or file steps that fail on demand.
    struct Services {
        FileDialogs& fileDialogs;   // the file-open and file-save dialogs
        MessagePresenter& messages; // every message box: outcomes of a save and errors
        HelpViewer& help;           // F1
        FileSteps& files;           // reading and writing item files
    };

    // `applicationName` is every message box's caption. The window is filled, shows "<Empty>" in
    // both fields, has the focus on Load and is centred on its screen, but is not shown: call
    // exec() (the program) or show() (tests).
    MainWindow(const std::string& applicationName, const Services& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    const Converter& converter() const { return *converter_; }

    // The About entry: shows the About box modally, centred over this window.
    void showAboutBox();
    // F1: asks the help viewer for a help topic, reporting a viewer that cannot start.
    void requestHelp(unsigned topic);
    // The window that owns message boxes now: the About box while it is open, else this window.
    QWidget* messageOwner();

    // Loads the file at `path` (absolute) as the workflow loads a file from outside the window.
    void openFile(const std::string& path);
    // The same, once the window is up, so that a file that cannot be read is reported over it.
    void openWhenShown(std::string path);
    // The file a drop carries when it is one local file that is not a folder.
    static std::optional<std::string> droppedFile(const QMimeData* data);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createControls();

    HelpViewer& help_;
    DialogUnits units_;
    DispatchGuard guard_;

    QPushButton* loadButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    BannerPicture* banner_ = nullptr;
    QLineEdit* itemField_ = nullptr;
    DropDownList* itemList_ = nullptr;
    QLineEdit* sourceGameField_ = nullptr;
    DropDownList* targetList_ = nullptr;
    AboutBox* aboutBox_ = nullptr;
    bool placed_ = false;
    std::optional<std::string> openWhenShown_;

    std::unique_ptr<ComboChoiceList> itemChoices_;
    std::unique_ptr<ComboChoiceList> targetChoices_;
    std::unique_ptr<QtWindowServices> windowServices_;
    std::unique_ptr<Converter> converter_;
};

} // namespace relicwright
