#include "DesktopHelpViewer.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace relicwright {

bool DesktopHelpViewer::showTopic(QWidget*, const std::string& helpFilePath, unsigned) {
    const QString file = QFile::decodeName(QByteArray::fromStdString(helpFilePath));
    // Without the file there is nothing a viewer could show.
    if (!QFileInfo(file).isFile()) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

} // namespace relicwright
