#include "BannerPicture.h"

#include <QImage>
#include <QPainter>

namespace relicwright {

BannerPicture::BannerPicture(QPixmap picture, QWidget* parent)
    : QFrame(parent), picture_(std::move(picture)) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFocusPolicy(Qt::NoFocus);
    if (!picture_.isNull()) {
        fill_ = picture_.toImage().pixelColor(0, 0);
    }
}

void BannerPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    if (!picture_.isNull()) {
        painter.save();
        painter.setClipRect(area);
        painter.fillRect(area, fill_);
        const QSize size = picture_.deviceIndependentSize().toSize();
        const QPoint corner(area.x() + (area.width() - size.width()) / 2,
                            area.y() + (area.height() - size.height()) / 2);
        painter.drawPixmap(corner, picture_);
        painter.restore();
    }
    drawFrame(&painter);
}

} // namespace relicwright
