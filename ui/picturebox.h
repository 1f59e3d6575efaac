// The picture box of the windows: a framed drawing surface that keeps what is drawn on it
// until it is cleared (the progress strip fills from the left). It may also hold other
// controls, like the title box holding the title line. The wave area is a WaveArea.
#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>

class PictureBox : public QFrame {
  Q_OBJECT
  Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor)
  Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
  Q_PROPERTY(double scaleWidth READ scaleWidth WRITE setScaleWidth)

 public:
  explicit PictureBox(QWidget* parent = nullptr);

  QColor foreColor() const { return foreColor_; }
  void setForeColor(const QColor& color) { foreColor_ = color; }
  QColor backColor() const { return backColor_; }
  void setBackColor(const QColor& color);

  // Units of the x axis across the inner width; 0 means pixels.
  double scaleWidth() const { return scaleWidth_; }
  void setScaleWidth(double width) { scaleWidth_ = width; }

  // Inner drawing size in pixels.
  QSize innerSize() const { return contentsRect().size(); }

  void cls();  // everything drawn is erased to the background colour
  // A line in the foreground colour; x in scale units, y in pixels.
  void line(double x1, double y1, double x2, double y2);
  void pset(double x, double y, const QColor& color);  // one pixel

  const QImage& canvas() const;  // what is shown, at the inner size

 signals:
  // The left button went down at `x`, in scale units from the inner left edge.
  void mouseDown(double x);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void fitCanvas() const;  // follows the inner size, keeping what is drawn
  QPointF toPixels(double x, double y) const;

  mutable QImage canvas_;
  QColor foreColor_{Qt::black};
  QColor backColor_{Qt::white};
  double scaleWidth_ = 0;
};
