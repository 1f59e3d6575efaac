#pragma once
// The windows' pictures, compiled in under :/icons/ as raw premultiplied ARGB32 pixels
// (.argb files: width and height as 32-bit numbers, then the rows), each with a "@2x"
// variant at twice the size, rendered at build time from resources/icons/*.svg.
#include <QImage>
#include <QPixmap>

// The picture at path as an image, or a null image when there is none or it is damaged.
QImage pictureImage(const QString& path);

// The forms' pixmap function (their .ui files name it): the picture at path, at twice the
// size on high-DPI screens.
QPixmap formPicture(const char* path);
