// The label type of every window, also used for the hidden text boxes that carry state.
// Writing a different text runs the control's change procedure at once, nested inside the
// writer, before setText returns; writing the same text again runs nothing.
#pragma once

#include <QLabel>

class ChangeLabel : public QLabel {
  Q_OBJECT
  // When on, the label takes the size of its text at every change (the title line, whose
  // width the scrolling reads).
  Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)

 public:
  explicit ChangeLabel(QWidget* parent = nullptr);

  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool on);

  // Hides QLabel::setText: code must write through this type for changed() to run.
  void setText(const QString& text);

 signals:
  void changed();  // the text really changed; emitted from inside setText
  void clicked();  // left button pressed and released over the label

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
  bool autoSize_ = false;
};
