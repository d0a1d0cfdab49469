#include "DesktopHelpViewer.h"

#include "Application.h"

#include <QFile>
#include <QProcess>
#include <QUrl>

#include <filesystem>
#include <system_error>
#include <utility>

namespace relicwright {

namespace {

bool isFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

DesktopHelpViewer::DesktopHelpViewer(std::string programPath) : programPath_(std::move(programPath)) {}

std::string DesktopHelpViewer::helpPageFor(const std::string& programPath) {
    const std::filesystem::path programDirectory = std::filesystem::path(programPath).parent_path();
    const std::filesystem::path candidates[] = {
        // Beside the program: how the build tree has it.
        programDirectory / Application::kHelpPageName,
        // Installed: <prefix>/bin/relicwright finds <prefix>/share/relicwright/help.html.
        programDirectory.parent_path() / "share" / "relicwright" / Application::kHelpPageName,
        programDirectory.parent_path() / "share" / "doc" / "relicwright" / Application::kHelpPageName,
    };
    for (const auto& candidate : candidates) {
        if (isFile(candidate)) {
            return candidate.lexically_normal().string();
        }
    }
    return {};
}

bool DesktopHelpViewer::showTopic(QWidget*, unsigned topic, std::function<void()> failedLater) {
    const std::string page = helpPageFor(programPath_);
    // Without the page there is nothing a browser could show.
    if (page.empty()) {
        return false;
    }
    const QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(page)));
    const std::string address =
        Application::helpAddress(url.toString(QUrl::FullyEncoded).toStdString(), topic);
    // The desktop's opener says only through its exit status that no browser could take the page,
    // so it is waited for without holding up the window. It has no parent: closing the window must
    // not stop a browser that is still starting.
    auto* opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({QString::fromStdString(address)});
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    auto finished = [opener, failedLater](bool succeeded) {
        opener->disconnect();
        opener->deleteLater();
        if (!succeeded && failedLater) {
            failedLater();
        }
    };
    QObject::connect(opener, &QProcess::finished, [finished](int exitCode, QProcess::ExitStatus status) {
        finished(status == QProcess::NormalExit && exitCode == 0);
    });
    QObject::connect(opener, &QProcess::errorOccurred, [finished](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            finished(false);
        }
    });
    opener->start();
    return true;
}

} // namespace relicwright
