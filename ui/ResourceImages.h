#pragma once

#include <QIcon>
#include <QPixmap>

namespace relicwright {

// The pictures compiled into the program.
class ResourceImages {
public:
    // The horned skull at 16, 32 and 48 pixels.
    static QIcon programIcon();
    // The 449 x 54 title banner.
    static QPixmap banner();
};

} // namespace relicwright
