#include "ui/picturebox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) { cls(); }

void PictureBox::setBackColor(const QColor& color) {
  backColor_ = color;
  cls();
}

void PictureBox::fitCanvas() const {
  const QSize size = innerSize().expandedTo(QSize(1, 1));
  if (canvas_.size() == size) return;
  QImage fitted(size, QImage::Format_RGB32);
  fitted.fill(backColor_);
  if (!canvas_.isNull()) QPainter(&fitted).drawImage(0, 0, canvas_);
  canvas_ = fitted;
}

const QImage& PictureBox::canvas() const {
  fitCanvas();
  return canvas_;
}

void PictureBox::cls() {
  fitCanvas();
  canvas_.fill(backColor_);
  update();
}

QPointF PictureBox::toPixels(double x, double y) const {
  const double unit = scaleWidth_ > 0 ? canvas_.width() / scaleWidth_ : 1.0;
  return {x * unit, y};
}

void PictureBox::line(double x1, double y1, double x2, double y2) {
  fitCanvas();
  QPainter painter(&canvas_);
  painter.setPen(foreColor_);
  painter.drawLine(toPixels(x1, y1), toPixels(x2, y2));
  update();
}

void PictureBox::pset(double x, double y, const QColor& color) {
  fitCanvas();
  const QPoint p = toPixels(x, y).toPoint();
  if (canvas_.rect().contains(p)) canvas_.setPixelColor(p, color);
  update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), canvas());
  }
  QFrame::paintEvent(event);  // the frame over the drawing
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  QFrame::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  const double x = event->position().x() - contentsRect().left();
  emit mouseDown(scaleWidth_ > 0 ? x * scaleWidth_ / canvas().width() : x);
}
