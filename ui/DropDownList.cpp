#include "DropDownList.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>

namespace relicwright {

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // A completer would rewrite the typed text into an entry's.
    setCompleter(nullptr);
    setDuplicatesEnabled(true);
}

bool DropDownList::isDroppedDown() const {
    return watchedPopup_ != nullptr && watchedPopup_->isVisible();
}

void DropDownList::showPopup() {
    QComboBox::showPopup();
    // The popup window is created on first use; its hide is the one thing every way of closing
    // it has in common (some close it without going through hidePopup).
    QWidget* popup = view()->window();
    if (popup != watchedPopup_ && popup != window()) {
        if (watchedPopup_ != nullptr) {
            watchedPopup_->removeEventFilter(this);
        }
        watchedPopup_ = popup;
        watchedPopup_->installEventFilter(this);
        // Installed after Qt's own filter on the list, so it sees keys first.
        view()->installEventFilter(this);
    }
}

bool DropDownList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedPopup_ && event->type() == QEvent::Hide) {
        emit dropDownClosed();
    } else if (watched == view() &&
               (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        // Enter with no entry highlighted only closes the drop-down. Qt would pick the first
        // entry, which it makes current (but not highlighted) when the list opens. Qt acts on the
        // shortcut check already; claiming the key there brings it here as a key press.
        auto* key = static_cast<QKeyEvent*>(event);
        const QModelIndex current = view()->currentIndex();
        const bool highlighted = current.isValid() && current.flags().testFlag(Qt::ItemIsEnabled) &&
                                 view()->selectionModel()->isSelected(current);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !highlighted) {
            key->accept();
            if (event->type() == QEvent::KeyPress) {
                hidePopup();
            }
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

} // namespace relicwright
