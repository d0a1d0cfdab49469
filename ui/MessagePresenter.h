#pragma once

#include "Application.h"

#include <QString>

class QWidget;

namespace relicwright {

// One modal message box: a caption, plain text (never markup), an OK button and an icon.
struct Message {
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::None;
    // Kept above every other window of the desktop (out of memory).
    bool keepAbove = false;
};

// Shows message boxes. The Qt implementation uses QMessageBox; tests record what would be shown.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Returns when the user has dismissed the box.
    virtual void present(QWidget* owner, const Message& message) = 0;
};

} // namespace relicwright
