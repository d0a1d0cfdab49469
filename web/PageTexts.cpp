// Run under node while the page is built: prints, as JSON, the application layer's texts and names
// that the page's static HTML shows before its module has arrived, so index.html is filled from them
// (FillPage.cmake) and the browser tests can check the page against the same set.
#include "Application.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

using namespace relicwright;

namespace {

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string number(unsigned value) {
    return quoted(std::to_string(value));
}

} // namespace

int main() {
    std::string json = "{\n";
    auto field = [&](std::string_view key, const std::string& value) {
        json += "  " + quoted(key) + ": " + value + ",\n";
    };
    field("name", quoted(RELICWRIGHT_NAME));
    field("windowTitle", quoted(Application::windowTitle()));
    field("aboutBoxTitle", quoted(Application::aboutBoxTitle()));
    field("aboutText", quoted(Application::aboutText()));
    field("copyrightText", quoted(Application::copyrightText()));
    field("contactText", quoted(Application::contactText()));
    field("aboutEntryText", quoted(Application::kAboutEntryText));
    field("loadText", quoted(Application::kLoadText));
    field("saveText", quoted(Application::kSaveText));
    field("okText", quoted(Application::kOkText));

    // The address F1 opens while each dialog is in front.
    auto help = [](unsigned dialog) {
        return quoted(Application::helpAddress(Application::kHelpPageName, Application::helpTopic(dialog)));
    };
    field("help",
          "{\"mainWindow\": " + help(kMainWindowDialog) + ", \"aboutBox\": " + help(kAboutBoxDialog) + "}");

    // Keyed by control number, as the page's element ids are.
    std::string names = "{";
    for (const Control control : {Control::LoadButton, Control::SaveButton, Control::ItemField,
                                  Control::ItemList, Control::SourceGameField, Control::TargetList}) {
        names += std::string(names.size() > 1 ? ", " : "") + number(static_cast<unsigned>(control)) + ": " +
                 quoted(Application::accessibleName(control));
    }
    json += "  \"names\": " + names + "}\n}\n";
    std::fputs(json.c_str(), stdout);
}
