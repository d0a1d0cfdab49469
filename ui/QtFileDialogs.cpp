#include "QtFileDialogs.h"

#include "FileFilterList.h"
#include "WindowServices.h"

#include <QFile>
#include <QFileDialog>

namespace relicwright {

namespace {

// Name filters for a QFileDialog with HideNameFilterDetails: Qt takes the patterns from the
// trailing parentheses and shows the rest, which is the description as written.
QStringList qtNameFilters(const FileFilterList& list) {
    QStringList result;
    for (const FileFilterList::Filter& filter : list.filters()) {
        QStringList patterns;
        for (const std::string& pattern : filter.patterns) {
            patterns << QString::fromStdString(pattern);
        }
        result << QString::fromStdString(filter.description) + QStringLiteral(" (") +
                      patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

void configureCommon(QFileDialog& dialog, const std::string& filter) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    // Must be set before the filters: it decides what the type list shows.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    const FileFilterList filters = FileFilterList::parse(filter);
    dialog.setNameFilters(qtNameFilters(filters));
}

} // namespace

void QtFileDialogs::configureOpen(QFileDialog& dialog, const std::string& filter, unsigned options) {
    configureCommon(dialog, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((options & FileMustExist) != 0 ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
}

void QtFileDialogs::configureSave(QFileDialog& dialog, const std::string& filter,
                                  const std::string& defaultExtension, const std::string& initialName,
                                  unsigned options) {
    configureCommon(dialog, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode((options & FileMustExist) != 0 ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, (options & OverwritePrompt) == 0);
    // Qt appends it only to a name without a dot, as we want.
    dialog.setDefaultSuffix(QString::fromStdString(defaultExtension));
    dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(initialName)));
}

FileChoice QtFileDialogs::promptOpenFile(QWidget* owner, const std::string& filter, unsigned options) {
    QFileDialog dialog(owner);
    configureOpen(dialog, filter, options);
    return run(dialog);
}

FileChoice QtFileDialogs::promptSaveFile(QWidget* owner, const std::string& filter,
                                         const std::string& defaultExtension, const std::string& initialName,
                                         unsigned options) {
    QFileDialog dialog(owner);
    configureSave(dialog, filter, defaultExtension, initialName, options);
    return run(dialog);
}

FileChoice QtFileDialogs::run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) {
        return FileChoice::cancelled();
    }
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) {
        return FileChoice::cancelled();
    }
    return FileChoice::fromPath(QFile::encodeName(files.first()).toStdString());
}

} // namespace relicwright
