#include "ui/pictures.h"

#include <QGuiApplication>
#include <QResource>
#include <cstdint>
#include <cstring>

QImage pictureImage(const QString& path) {
  const QByteArray bytes = QResource(path).uncompressedData();
  uint32_t size[2];
  if (bytes.size() < qsizetype(sizeof size)) return {};
  std::memcpy(size, bytes.constData(), sizeof size);
  const qsizetype rowBytes = 4 * qsizetype(size[0]);
  if (size[0] == 0 || size[0] > 4096 || size[1] == 0 || size[1] > 4096 ||
      bytes.size() != qsizetype(sizeof size) + rowBytes * size[1])
    return {};
  QImage image{int(size[0]), int(size[1]), QImage::Format_ARGB32_Premultiplied};
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(image.scanLine(y), bytes.constData() + sizeof size + y * rowBytes, rowBytes);
  return image;
}

QPixmap formPicture(const char* path) {
  const QString file = QString::fromUtf8(path);
  if (qGuiApp->devicePixelRatio() > 1) {
    QString doubleSize = file;
    doubleSize.insert(file.lastIndexOf('.'), "@2x");
    QImage image = pictureImage(doubleSize);
    if (!image.isNull()) {
      image.setDevicePixelRatio(2);
      return QPixmap::fromImage(std::move(image));
    }
  }
  return QPixmap::fromImage(pictureImage(file));
}
