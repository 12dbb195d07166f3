// The pictures of the window: the three tool buttons and the program icon, drawn with
// QPainter so the program needs no image files.
#pragma once

#include <QIcon>

namespace vorax::gui {

[[nodiscard]] QIcon openFilePicture();  // an opened folder
[[nodiscard]] QIcon exitPicture();      // a door with an arrow leaving it
[[nodiscard]] QIcon aboutPicture();     // an "i" in a blue circle
[[nodiscard]] QIcon programIcon();      // a "V" on a chip

}  // namespace vorax::gui
