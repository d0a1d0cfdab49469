#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace relicwright {

// Where our windows open: centred over something, never hanging off the work area.
class WindowPlacement {
public:
    // Top-left corner for a window of the given size centred over `over`, moved inside `workArea`
    // where it would stick out (the top-left edge wins when the window is larger than the area).
    static QPoint centred(const QSize& size, const QRect& over, const QRect& workArea);

    // Centres a top-level window over its owner, or over its screen's work area when it has none.
    static void centre(QWidget& window, const QWidget* owner);
};

} // namespace relicwright
