#pragma once

#include <QIcon>
#include <QPixmap>

namespace pravelo::platform::qt {

// Artwork drawn in code so the program ships no image files.
QPixmap programIconPixmap();  // 32 x 32
QIcon programIcon();
QPixmap aboutLogo();  // 32 x 44

}  // namespace pravelo::platform::qt
