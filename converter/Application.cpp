#include "Application.h"

#include "FileChoice.h"

#include "PathText.h"
#include "Utf8Path.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace relicwright {

const std::string& Application::version() {
    static const std::string text = RELICWRIGHT_VERSION;
    return text;
}

const std::string& Application::windowTitle() {
    static const std::string text = "Ostrand's Relicwright v" + version();
    return text;
}

const std::string& Application::aboutBoxTitle() {
    static const std::string text = "About Relicwright v" + version();
    return text;
}

const std::string& Application::aboutText() {
    static const std::string text = "Ostrand's Relicwright v" + version() + " done by Tamsrook.";
    return text;
}

const std::string& Application::copyrightText() {
    static const std::string text = "Copyright (C) 2025";
    return text;
}

const std::string& Application::contactText() {
    static const std::string text = "tamsrook@example.org";
    return text;
}

std::string_view Application::helpSection(unsigned topic) {
    if (topic == helpTopic(kMainWindowDialog)) {
        return "main-window";
    }
    if (topic == helpTopic(kAboutBoxDialog)) {
        return "about-box";
    }
    return {};
}

std::string Application::helpAddress(const std::string& pageAddress, unsigned topic) {
    const std::string_view section = helpSection(topic);
    if (section.empty()) {
        return pageAddress;
    }
    return pageAddress + "#" + std::string(section);
}

std::string_view Application::accessibleName(Control control) {
    // Said without seeing the window, so each name tells what the control holds.
    switch (control) {
    case Control::LoadButton:
        return kLoadText;
    case Control::SaveButton:
        return kSaveText;
    case Control::ItemField:
        return "Loaded item";
    case Control::ItemList:
        return "Item to write";
    case Control::SourceGameField:
        return "Game of the loaded file";
    case Control::TargetList:
        return "Game to write for";
    }
    return {};
}

MessageIcon Application::iconFor(HandlerFailure::Kind kind) {
    switch (kind) {
    case HandlerFailure::Kind::File:
    case HandlerFailure::Kind::Unexpected:
        return MessageIcon::Stop;
    case HandlerFailure::Kind::OutOfMemory:
        return MessageIcon::Exclamation;
    }
    return MessageIcon::Stop;
}

MessageIcon Application::iconFor(Start::Action action) {
    return action == Start::Action::UsageError ? MessageIcon::Stop : MessageIcon::None;
}

std::string Application::nameOf(const std::string& programPath) {
    // The program file's name without its directory and last extension: what a file's title is.
    return FileChoice::fromPath(programPath).title;
}

namespace {

std::string fullPath(const std::string& argument) {
    std::error_code error;
    const auto full = std::filesystem::absolute(pathFromUtf8(argument), error);
    return error ? argument : utf8Of(full.lexically_normal());
}

} // namespace

Application::Start Application::startFrom(const std::vector<std::string>& arguments,
                                          const std::string& name) {
    const std::string usage =
        "Usage: " + name + " [FILE]\n       " + name + " " + kConvertOption + " hellfire|diablo FILE...\n";
    auto usageError = [&](const std::string& problem) {
        return Start{Start::Action::UsageError, std::nullopt, name + ": " + problem + "\n" + usage, 2};
    };
    Start start;
    std::optional<std::string> game;
    std::vector<std::string> files;
    bool optionsEnd = false;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string& argument = arguments[at];
        const std::string convertPrefix = std::string(kConvertOption) + "=";
        if (!optionsEnd && argument == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && argument == "--help") {
            return Start{Start::Action::Print, std::nullopt,
                         usage +
                             "Converts a Diablo item file (.itm) to a Hellfire item file (.hif) and back.\n"
                             "FILE is loaded once the window is up, as if chosen with Load.\n" +
                             kConvertOption +
                             " converts each FILE beside itself without a window, as a file manager\n"
                             "asks; it shows one message when a file is not converted.\n",
                         0};
        } else if (!optionsEnd && argument == "--version") {
            return Start{Start::Action::Print, std::nullopt, name + " " + version() + "\n", 0};
        } else if (!optionsEnd && argument == kConvertOption) {
            if (at + 1 == arguments.size()) {
                return usageError(std::string(kConvertOption) + " needs a game: hellfire or diablo");
            }
            game = arguments[++at];
        } else if (!optionsEnd && argument.starts_with(convertPrefix)) {
            game = argument.substr(convertPrefix.size());
        } else if (!optionsEnd && argument.size() > 1 && argument.front() == '-') {
            return usageError("unknown option " + argument);
        } else {
            files.push_back(fullPath(argument));
        }
    }
    if (game) {
        const std::string lower = lowerAscii(*game);
        if (lower != "hellfire" && lower != "diablo") {
            return usageError(std::string(kConvertOption) + ": unknown game " + *game +
                              "; hellfire or diablo");
        }
        if (files.empty()) {
            return usageError(std::string(kConvertOption) + " needs at least one file");
        }
        start.action = Start::Action::Convert;
        start.target = lower == "diablo" ? GameVariant::Diablo : GameVariant::Hellfire;
        start.files = std::move(files);
        return start;
    }
    if (files.size() > 1) {
        return usageError("one file at a time");
    }
    if (!files.empty()) {
        start.file = std::move(files.front());
    }
    return start;
}

} // namespace relicwright
