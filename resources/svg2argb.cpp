// Renders an SVG picture at the size the windows show it, once as <out>.argb and once at
// twice the size as <out>@2x.argb for high-DPI screens. Run at build time, so the program
// needs neither SVG code nor an image decoder at start-up. The .argb format is the one
// formPicture (ui/pictures.h) reads: width and height as 32-bit unsigned numbers, then the
// rows of premultiplied ARGB32 pixels, all in the machine's byte order.
// An output named *.png is written once, as a PNG of that size (the desktop's icons).
//   svg2argb <in.svg> <out-without-extension | out.png> <width> <height>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdint>
#include <cstdio>

static QImage render(QSvgRenderer& svg, int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  svg.render(&painter);
  return image;
}

static bool writeArgb(QSvgRenderer& svg, int width, int height, const QString& path) {
  const QImage image = render(svg, width, height);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const uint32_t size[2] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
  file.write(reinterpret_cast<const char*>(size), sizeof size);
  for (int y = 0; y < height; ++y)
    file.write(reinterpret_cast<const char*>(image.constScanLine(y)), 4 * width);
  return file.flush() && file.error() == QFile::NoError;
}

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // no display needed: only painting onto images
  const QStringList args = app.arguments();
  const int width = args.value(3).toInt(), height = args.value(4).toInt();
  if (args.size() != 5 || width <= 0 || height <= 0) {
    std::fprintf(stderr, "usage: svg2argb <in.svg> <out-without-extension | out.png> <width> <height>\n");
    return 2;
  }
  QSvgRenderer svg(args[1]);
  if (!svg.isValid()) {
    std::fprintf(stderr, "svg2argb: cannot read %s\n", qPrintable(args[1]));
    return 1;
  }
  const QString out = args[2];
  const bool written = out.endsWith(".png") ? render(svg, width, height).save(out, "PNG")
                                            : writeArgb(svg, width, height, out + ".argb") &&
                                                  writeArgb(svg, 2 * width, 2 * height, out + "@2x.argb");
  if (!written) {
    std::fprintf(stderr, "svg2argb: cannot write %s\n", qPrintable(out));
    return 1;
  }
  return 0;
}
