#include "DesktopHelpViewer.h"

#include "AboutBox.h"
#include "MainWindow.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include <filesystem>
#include <system_error>

namespace relicwright {

namespace {

bool isFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

std::string DesktopHelpViewer::helpPageFor(const std::string& helpFilePath) {
    const std::filesystem::path programDirectory = std::filesystem::path(helpFilePath).parent_path();
    const std::filesystem::path candidates[] = {
        // Beside the program: how the build tree has it.
        programDirectory / "help.html",
        // Installed: <prefix>/bin/relicwright finds <prefix>/share/relicwright/help.html.
        programDirectory.parent_path() / "share" / "relicwright" / "help.html",
        programDirectory.parent_path() / "share" / "doc" / "relicwright" / "help.html",
    };
    for (const auto& candidate : candidates) {
        if (isFile(candidate)) {
            return candidate.lexically_normal().string();
        }
    }
    return {};
}

std::string DesktopHelpViewer::sectionOf(unsigned topic) {
    if (topic == helpTopicOfDialog(MainWindow::kDialogNumber)) {
        return "main-window";
    }
    if (topic == helpTopicOfDialog(AboutBox::kDialogNumber)) {
        return "about-box";
    }
    return {};
}

bool DesktopHelpViewer::showTopic(QWidget*, const std::string& helpFilePath, unsigned topic) {
    const std::string page = helpPageFor(helpFilePath);
    // Without the page there is nothing a browser could show.
    if (page.empty()) {
        return false;
    }
    QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(page)));
    const std::string section = sectionOf(topic);
    if (!section.empty()) {
        url.setFragment(QString::fromStdString(section));
    }
    return QDesktopServices::openUrl(url);
}

} // namespace relicwright
