#include "ConversionRun.h"

#include "QtMessagePresenter.h"

#include "Application.h"
#include "ConversionReport.h"

#include <QApplication>

#include <iostream>

namespace relicwright {

int ConversionRun::run(const Application::Start& start, const std::string& applicationName,
                       bool displayAvailable) {
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
    QtMessagePresenter().present(nullptr, Message{QString::fromStdString(applicationName),
                                                  QString::fromStdString(report.summary()), report.icon()});
    return report.status();
}

} // namespace relicwright
