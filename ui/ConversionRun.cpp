#include "ConversionRun.h"

#include "Application.h"
#include "ConversionReport.h"

#include <QApplication>
#include <QMessageBox>

#include <iostream>

namespace relicwright {

int ConversionRun::run(const Application::Start& start, const std::string& applicationName, bool displayAvailable) {
    const ConversionReport report = ConversionReport::run(start.target, start.files);
    if (report.status() == 0) {
        return 0;
    }
    if (!displayAvailable) {
        // Started from a shell with no desktop: the summary goes where a shell shows it.
        std::cerr << report.summary() << '\n';
        return report.status();
    }
    std::string name = applicationName;
    char* qtArguments[] = {name.data(), nullptr};
    int qtArgumentCount = 1;
    QApplication application(qtArgumentCount, qtArguments);
    QGuiApplication::setDesktopFileName(QStringLiteral("relicwright"));
    QMessageBox box(report.icon() == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::Warning,
                    QString::fromStdString(applicationName), QString(), QMessageBox::Ok);
    // File names are not markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(report.summary()));
    box.exec();
    return report.status();
}

} // namespace relicwright
