#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace relicwright {

namespace {

int clampedStart(int start, int length, int areaStart, int areaLength) {
    if (start + length > areaStart + areaLength) {
        start = areaStart + areaLength - length;
    }
    if (start < areaStart) {
        start = areaStart;
    }
    return start;
}

} // namespace

QPoint WindowPlacement::centred(const QSize& size, const QRect& over, const QRect& workArea) {
    const int x = over.x() + (over.width() - size.width()) / 2;
    const int y = over.y() + (over.height() - size.height()) / 2;
    return QPoint(clampedStart(x, size.width(), workArea.x(), workArea.width()),
                  clampedStart(y, size.height(), workArea.y(), workArea.height()));
}

void WindowPlacement::centre(QWidget& window, const QWidget* owner) {
    QScreen* screen = owner != nullptr ? owner->screen() : window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect workArea = screen->availableGeometry();
    const QRect over = owner != nullptr ? owner->frameGeometry() : workArea;
    window.move(centred(window.frameGeometry().size(), over, workArea));
}

} // namespace relicwright
