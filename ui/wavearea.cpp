#include "ui/wavearea.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Nearest integer, halves to even. Values far outside any area are held at a distance
// that still lies outside it, so the conversion to int stays defined.
int roundHalfEven(double value) {
  constexpr double kFar = 1 << 24;
  return static_cast<int>(std::nearbyint(std::clamp(value, -kFar, kFar)));
}

}  // namespace

WavePoints wavePoints(const WaveBuffer& left, const WaveBuffer& right, double width, double height) {
  WavePoints points;
  for (int i = 0; i < kWavePoints; ++i) {
    const int g = 2 * i;
    // In 64 bits: two full-range samples must not overflow their sum.
    const int v = roundHalfEven((int64_t{left[g]} + right[g]) / 2.0 + 100);
    points[i] = {roundHalfEven(width / 256 * g), roundHalfEven(height / 200 * v)};
  }
  return points;
}

WaveArea::WaveArea(QWidget* parent) : QFrame(parent) {
  // The paint event covers every pixel itself.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void WaveArea::setBackColor(const QColor& color) {
  backColor_ = color;
  update();
}

void WaveArea::cls() {
  if (!hasPicture_) return;
  hasPicture_ = false;
  update();
}

void WaveArea::showPicture(const WavePoints& points, bool withNextStep) {
  if (hasPicture_ && points == points_ && pen_ == foreColor_) return;
  hasPicture_ = true;
  points_ = points;
  pen_ = foreColor_;
  pending_ = true;
  if (!withNextStep) paintPending();
}

void WaveArea::paintPending() {
  if (!pending_) return;
  pending_ = false;
  update();
}

void WaveArea::draw(QPainter& painter) const {
  painter.fillRect(rect(), backColor_);
  if (!hasPicture_) return;
  // Each segment is followed by the white dot at its end, and the next segment starts on
  // that dot and covers it: all segments in one call, then the last dot, give that picture
  // without switching pens 254 times. (A polyline would join the segments with other pixels.)
  std::array<QLine, kWavePoints - 1> segments;
  for (int i = 1; i < kWavePoints; ++i) segments[i - 1] = {points_[i - 1], points_[i]};
  painter.setPen(pen_);
  painter.drawLines(segments.data(), static_cast<int>(segments.size()));
  painter.setPen(Qt::white);
  painter.drawPoint(points_.back());
}

QImage WaveArea::picture() const {
  QImage image(size(), QImage::Format_RGB32);
  QPainter painter(&image);
  draw(painter);
  return image;
}

void WaveArea::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    draw(painter);
  }
  QFrame::paintEvent(event);
}
