#pragma once

#include <QFrame>
#include <QPixmap>

namespace relicwright {

// A picture centred in its frame and clipped to it; the frame keeps its size whatever the picture's.
// Where the picture is smaller, the rest is filled with its top-left colour, so it blends in.
class BannerPicture final : public QFrame {
public:
    explicit BannerPicture(QPixmap picture, QWidget* parent = nullptr);

    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QColor fill_;
};

} // namespace relicwright
