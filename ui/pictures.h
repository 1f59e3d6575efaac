#pragma once
// The windows' pictures: PNGs compiled in under :/icons/, each with a "@2x" variant at twice
// the size, rendered at build time from resources/icons/*.svg.
#include <QPixmap>

// The forms' pixmap function (their .ui files name it): the picture at path, at twice the
// size on high-DPI screens.
QPixmap formPicture(const char* path);
