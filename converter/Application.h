#pragma once

#include "HandlerFailure.h"

#include "GameVariant.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace relicwright {

// The dialogs of the program, by number: help topics and control names follow them.
inline constexpr unsigned kMainWindowDialog = 102;
inline constexpr unsigned kAboutBoxDialog = 100;

// The main window's controls, by number.
enum class Control : unsigned {
    LoadButton = 1000,
    SaveButton = 1001,
    ItemField = 1003,
    ItemList = 1005,
    SourceGameField = 1006,
    TargetList = 1007,
};

// What a message box shows beside its text.
enum class MessageIcon { None, Stop, Exclamation };

// What the windows of the program share beyond the workflow: its name and texts, its help topics
// and the page section each opens, the names a screen reader speaks, which icon a failure gets,
// and how the program's arguments become its start. A window only draws these, asks its
// platform's dialogs and forwards its events.
class Application {
public:
    // "1.02": the one version, set in the build.
    static const std::string& version();
    // The window's caption, the About box's caption and lines, the system-menu entry.
    static const std::string& windowTitle();
    static const std::string& aboutBoxTitle();
    static const std::string& aboutText();
    static const std::string& copyrightText();
    static const std::string& contactText();
    static constexpr const char* kAboutEntryText = "&About Relicwright...";
    static constexpr const char* kHelpFailedText = "Failed to launch help.";
    static constexpr const char* kLoadText = "Load";
    static constexpr const char* kSaveText = "Save";
    static constexpr const char* kOkText = "OK";

    // The help page's file name, beside the program or where the platform keeps its documents.
    static constexpr const char* kHelpPageName = "help.html";
    // Help topics are numbered after the dialog that asks: 131072 plus its number.
    static constexpr unsigned helpTopic(unsigned dialogNumber) { return 0x20000u + dialogNumber; }
    // The section of the help page a topic opens: "main-window" or "about-box"; empty for any
    // other topic, which opens the page at its top.
    static std::string_view helpSection(unsigned topic);
    // The page's address with the topic's section appended as a fragment.
    static std::string helpAddress(const std::string& pageAddress, unsigned topic);

    // The one name a screen reader speaks for a control, the same in every window.
    static std::string_view accessibleName(Control control);

    // The icon a message box shows for what escaped a handler.
    static MessageIcon iconFor(HandlerFailure::Kind kind);

    // The program file's name without directory and last extension: every message box's caption.
    static std::string nameOf(const std::string& programPath);

    // Converts the files that follow instead of showing the window: what a file manager's entry runs.
    static constexpr const char* kConvertOption = "--convert-to";

    // What the program does with the arguments after its own name.
    struct Start {
        enum class Action {
            ShowWindow, // with `file` loaded once the window is up, when there is one
            Print,      // `text` to standard output, then end with `status`
            UsageError, // `text` to standard error, then end with `status`
            Convert,    // each of `files` to `target` without a window (--convert-to)
        };
        Action action = Action::ShowWindow;
        std::optional<std::string> file; // full path
        std::string text;
        int status = 0;
        GameVariant target = GameVariant::Hellfire;
        std::vector<std::string> files = {}; // full paths, in the given order
    };
    // The icon of the box a window without a console shows a Print or UsageError text in.
    static MessageIcon iconFor(Start::Action action);
    // `name` is the program's applicationName. A relative file is made full against the working
    // folder, as the file dialog answers with full paths.
    static Start startFrom(const std::vector<std::string>& arguments, const std::string& name);
};

} // namespace relicwright
