#include "QtWindowServices.h"

#include "DispatchGuard.h"
#include "FileDialogs.h"
#include "MessagePresenter.h"

#include <QLineEdit>

namespace relicwright {

QtWindowServices::QtWindowServices(QWidget& window, FileDialogs& dialogs, MessagePresenter& messages,
                                   DispatchGuard& guard, QLineEdit& sourceGameField, QLineEdit& itemField)
    : window_(window), dialogs_(dialogs), messages_(messages), guard_(guard),
      sourceGameField_(sourceGameField), itemField_(itemField) {}

FileChoice QtWindowServices::promptOpenFile(const std::string& filter, unsigned options) {
    return dialogs_.promptOpenFile(&window_, filter, options);
}

FileChoice QtWindowServices::promptSaveFile(const std::string& filter, const std::string& defaultExtension,
                                            const std::string& initialName, unsigned options) {
    return dialogs_.promptSaveFile(&window_, filter, defaultExtension, initialName, options);
}

void QtWindowServices::showMessage(const std::string& text) {
    messages_.present(&window_,
                      Message{guard_.caption(), QString::fromStdString(text), MessageIcon::None, false});
}

void QtWindowServices::setSourceGameField(const std::string& text) {
    sourceGameField_.setText(QString::fromStdString(text));
    // Show the start of a long text, as a freshly set field does.
    sourceGameField_.setCursorPosition(0);
}

void QtWindowServices::setItemField(const std::string& text) {
    itemField_.setText(QString::fromStdString(text));
    itemField_.setCursorPosition(0);
}

void QtWindowServices::reportOutOfMemory() {
    guard_.reportOutOfMemory();
}

} // namespace relicwright
