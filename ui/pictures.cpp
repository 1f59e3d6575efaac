#include "ui/pictures.h"

#include <QGuiApplication>
#include <QImageReader>

static QImage readPng(const QString& path) {
  QImageReader reader(path, "png");
  // Otherwise Qt loads every image-format plugin (SVG, JPEG, ...) to ask whether it reads PNG.
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

QPixmap formPicture(const char* path) {
  const QString file = QString::fromUtf8(path);
  if (qGuiApp->devicePixelRatio() > 1) {
    QString doubleSize = file;
    doubleSize.insert(file.lastIndexOf('.'), "@2x");
    QImage image = readPng(doubleSize);
    if (!image.isNull()) {
      image.setDevicePixelRatio(2);
      return QPixmap::fromImage(std::move(image));
    }
  }
  return QPixmap::fromImage(readPng(file));
}
