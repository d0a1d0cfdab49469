#include "ConversionRun.h"

#include "converter/Application.h"
#include "converter/ConversionReport.h"

#include <QApplication>
#include <QMessageBox>

#include <iostream>

namespace relicwright {

std::optional<int> ConversionRun::runIfAsked(const std::vector<std::string>& arguments,
                                             const std::string& applicationName, bool displayAvailable) {
    const Application::Start start = Application::startFrom(arguments, applicationName);
    switch (start.action) {
    case Application::Start::Action::ShowWindow:
        return std::nullopt;
    case Application::Start::Action::Print:
        std::cout << start.text;
        return start.status;
    case Application::Start::Action::UsageError:
        std::cerr << start.text;
        return start.status;
    case Application::Start::Action::Convert:
        break;
    }
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
