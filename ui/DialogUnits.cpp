#include "DialogUnits.h"

#include <QFontMetrics>
#include <QString>

namespace relicwright {

namespace {

// a * b / c rounded half away from zero, as the original layout engine scales.
int scaleRounded(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    const long long result = product >= 0 ? (product + half) / c : (product - half) / c;
    return static_cast<int>(result);
}

} // namespace

DialogUnits::DialogUnits(int baseWidth, int baseHeight) : baseWidth_(baseWidth), baseHeight_(baseHeight) {}

DialogUnits DialogUnits::forFont(const QFont& font) {
    const QFontMetrics metrics(font);
    static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int total = metrics.horizontalAdvance(alphabet);
    const int count = static_cast<int>(alphabet.size());
    return DialogUnits((total + count / 2) / count, metrics.height());
}

QRect DialogUnits::toPixels(const QRect& units) const {
    const int left = scaleRounded(units.x(), baseWidth_, 4);
    const int top = scaleRounded(units.y(), baseHeight_, 8);
    const int right = scaleRounded(units.x() + units.width(), baseWidth_, 4);
    const int bottom = scaleRounded(units.y() + units.height(), baseHeight_, 8);
    return QRect(left, top, right - left, bottom - top);
}

QFont dialogFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

} // namespace relicwright
