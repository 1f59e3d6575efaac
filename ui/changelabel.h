// The label type of every window, also used for the hidden text boxes that carry state.
// Writing a different text runs the control's change procedure at once, nested inside the
// writer, before setText returns; writing the same text again runs nothing.
#pragma once

#include <QLabel>
#include <QPixmap>

class ChangeLabel : public QLabel {
  Q_OBJECT
  // When on, the label takes the size of its text at every change of text or font (the
  // title line, whose width the scrolling reads).
  Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)
  // Text colour, and a background colour that fills the label once set.
  Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor)
  Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)

 public:
  explicit ChangeLabel(QWidget* parent = nullptr);

  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool on);
  QColor foreColor() const { return palette().color(QPalette::WindowText); }
  void setForeColor(const QColor& color);
  QColor backColor() const { return palette().color(QPalette::Window); }
  void setBackColor(const QColor& color);

  // A label that moves by a few pixels at a time (the title line) repaints thin strips,
  // but laying out its text costs the same for a strip as for the whole: with this on, an
  // opaque label paints from one picture of itself, made again when its look changes.
  void setPaintedFromPicture(bool on) { paintedFromPicture_ = on; }

  // Hides QLabel::setText: code must write through this type for changed() to run.
  void setText(const QString& text);

 signals:
  void changed();  // the text really changed; emitted from inside setText
  void clicked();  // left button pressed and released over the label

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // What the picture shows: it is made again when any of this differs.
  struct Look {
    QString text;
    QSize size;
    qint64 colours = 0;
    QString font;
    bool enabled = true;
    qreal pixelRatio = 1;
    bool operator==(const Look&) const = default;
  };

  bool pressed_ = false;
  bool autoSize_ = false;
  bool paintedFromPicture_ = false;
  Look pictureLook_;
  QPixmap picture_;
};
