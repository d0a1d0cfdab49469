#include "QtMessagePresenter.h"

#include <QMessageBox>

namespace relicwright {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtMessagePresenter::present(QWidget* owner, const Message& message) {
    QMessageBox box(boxIcon(message.icon), message.caption, QString(), QMessageBox::Ok, owner);
    // Paths may contain "<b>" or "&"; they are file names, not markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(message.text);
    box.setWindowModality(Qt::ApplicationModal);
    if (message.keepAbove) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    box.exec();
}

} // namespace relicwright
