#pragma once

#include <QFrame>
#include <QPixmap>

#include <functional>

namespace relicwright {

// A picture centred in its frame and clipped to it; the frame keeps its size whatever the picture's.
// Where the picture is smaller, the rest is filled with its top-left colour, so it blends in. The
// picture is drawn from the rendering for the screen's device pixel ratio, asked for again when the
// window moves to a screen of another ratio, and always measures the same in logical pixels.
class BannerPicture final : public QFrame {
public:
    // rendering: the picture for a device pixel ratio, with that ratio (or a larger one) set.
    BannerPicture(std::function<QPixmap(qreal)> rendering, QSize logicalSize, QWidget* parent = nullptr);

    // The picture drawn at the widget's device pixel ratio now.
    const QPixmap& picture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<QPixmap(qreal)> rendering_;
    QSize size_;
    mutable qreal ratio_ = 0;
    mutable QPixmap picture_;
    mutable QColor fill_;
};

} // namespace relicwright
