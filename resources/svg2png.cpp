// Renders an SVG picture to PNG at the size the windows show it, once as <out>.png and once
// at twice the size as <out>@2x.png, which Qt picks on high-DPI screens. Run at build time,
// so the program ships plain PNGs and needs no SVG code at start-up.
//   svg2png <in.svg> <out-without-.png> <width> <height>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

static bool render(QSvgRenderer& svg, int width, int height, const QString& file) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  svg.render(&painter);
  painter.end();
  return image.save(file, "PNG");
}

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // no display needed: only painting onto images
  const QStringList args = app.arguments();
  const int width = args.value(3).toInt(), height = args.value(4).toInt();
  if (args.size() != 5 || width <= 0 || height <= 0) {
    std::fprintf(stderr, "usage: svg2png <in.svg> <out-without-.png> <width> <height>\n");
    return 2;
  }
  QSvgRenderer svg(args[1]);
  if (!svg.isValid()) {
    std::fprintf(stderr, "svg2png: cannot read %s\n", qPrintable(args[1]));
    return 1;
  }
  const QString out = args[2];
  if (!render(svg, width, height, out + ".png") || !render(svg, 2 * width, 2 * height, out + "@2x.png")) {
    std::fprintf(stderr, "svg2png: cannot write %s\n", qPrintable(out));
    return 1;
  }
  return 0;
}
