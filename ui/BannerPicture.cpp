#include "BannerPicture.h"

#include <QImage>
#include <QPainter>

namespace relicwright {

BannerPicture::BannerPicture(std::function<QPixmap(qreal)> rendering, QSize logicalSize, QWidget* parent)
    : QFrame(parent), rendering_(std::move(rendering)), size_(logicalSize) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFocusPolicy(Qt::NoFocus);
}

const QPixmap& BannerPicture::picture() const {
    if (const qreal ratio = devicePixelRatioF(); ratio != ratio_) {
        ratio_ = ratio;
        picture_ = rendering_(ratio);
        if (!picture_.isNull()) {
            fill_ = picture_.toImage().pixelColor(0, 0);
        }
    }
    return picture_;
}

void BannerPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    if (const QPixmap& shown = picture(); !shown.isNull()) {
        painter.save();
        painter.setClipRect(area);
        painter.fillRect(area, fill_);
        // A rendering for a larger ratio than the screen's is shrunk smoothly; one made for it is
        // drawn pixel for pixel.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPoint corner(area.x() + (area.width() - size_.width()) / 2,
                            area.y() + (area.height() - size_.height()) / 2);
        painter.drawPixmap(QRect(corner, size_), shown);
        painter.restore();
    }
    drawFrame(&painter);
}

} // namespace relicwright
