// The label type of every window, also used for the hidden text boxes that carry state.
// Writing a different text runs the control's change procedure at once, nested inside the
// writer, before setText returns; writing the same text again runs nothing.
#pragma once

#include <QLabel>

class ChangeLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ChangeLabel(QWidget* parent = nullptr);

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
};
