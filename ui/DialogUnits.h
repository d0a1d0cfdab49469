#pragma once

#include <QFont>
#include <QRect>

namespace relicwright {

// Converts layout rectangles given in dialog units into pixels, the way the layouts' original
// platform does: a horizontal unit is a quarter of the font's average character width, a vertical
// unit an eighth of its height.
class DialogUnits {
public:
    DialogUnits(int baseWidth, int baseHeight);
    // Measures the font as it resolves on this system (a substitute when it is missing).
    static DialogUnits forFont(const QFont& font);

    int baseWidth() const { return baseWidth_; }
    int baseHeight() const { return baseHeight_; }

    // Corners are converted separately, so adjacent controls stay adjacent after rounding.
    QRect toPixels(const QRect& units) const;

private:
    int baseWidth_;
    int baseHeight_;
};

// The font every layout asks for.
QFont dialogFont();

} // namespace relicwright
