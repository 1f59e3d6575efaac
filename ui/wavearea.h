// The wave area of the main window: a picture of the latest block of samples, drawn from
// point to point in the pen colour, each segment followed by a white dot at its end. The
// area keeps the last picture's points and paints them in its paint event; a tick that
// brings the same picture again paints nothing.
#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QPoint>
#include <array>

#include "core/vbmp3binding.h"

inline constexpr int kWavePoints = 128;
using WavePoints = std::array<QPoint, kWavePoints>;

// The points of one block: for g = 0, 2, ..., 254, v = the mean of left(g) and right(g)
// lifted by 100, x = width / 256 * g and y = height / 200 * v, each rounded to the nearest
// integer with halves to even. Odd indices are not read. Silence (v = 100) lies at half
// height; larger values lie lower.
WavePoints wavePoints(const WaveBuffer& left, const WaveBuffer& right, double width, double height);

class WaveArea : public QFrame {
  Q_OBJECT
  // The pen colour of the next picture, and the background the area is cleared to.
  Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor)
  Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)

 public:
  explicit WaveArea(QWidget* parent = nullptr);

  QColor foreColor() const { return foreColor_; }
  void setForeColor(const QColor& color) { foreColor_ = color; }
  QColor backColor() const { return backColor_; }
  void setBackColor(const QColor& color);

  void cls();  // no picture: only the background
  // The picture of `points` in the current pen colour; repaints only when it differs from
  // the one shown. With `withNextStep` the repaint waits for paintPending(): the title
  // line's next step, so that one paint shows both.
  void showPicture(const WavePoints& points, bool withNextStep = false);
  void paintPending();

  // What the area shows, at its size: the paint event's drawing, without a screen.
  QImage picture() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void draw(QPainter& painter) const;

  QColor foreColor_{Qt::black};
  QColor backColor_{Qt::white};
  bool hasPicture_ = false;
  bool pending_ = false;  // a picture taken but not yet asked to be painted
  WavePoints points_{};
  QColor pen_;  // the colour the shown picture was taken with
};
