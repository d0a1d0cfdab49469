#pragma once

#include "WindowServices.h"

class QLineEdit;
class QWidget;

namespace relicwright {

class DispatchGuard;
class FileDialogs;
class MessagePresenter;

// What the workflow asks of the window, done with the window's own controls and dialogs.
class QtWindowServices final : public WindowServices {
public:
    QtWindowServices(QWidget& window, FileDialogs& dialogs, MessagePresenter& messages, DispatchGuard& guard,
                     QLineEdit& sourceGameField, QLineEdit& itemField);

    FileChoice promptOpenFile(const std::string& filter, unsigned options) override;
    FileChoice promptSaveFile(const std::string& filter, const std::string& defaultExtension,
                              const std::string& initialName, unsigned options) override;
    void showMessage(const std::string& text) override;
    void setSourceGameField(const std::string& text) override;
    void setItemField(const std::string& text) override;
    void reportOutOfMemory() override;

private:
    QWidget& window_;
    FileDialogs& dialogs_;
    MessagePresenter& messages_;
    DispatchGuard& guard_;
    QLineEdit& sourceGameField_;
    QLineEdit& itemField_;
};

} // namespace relicwright
