#include "ui/changelabel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

ChangeLabel::ChangeLabel(QWidget* parent) : QLabel(parent) {
  // Captions and carried values are plain text: a path or title holding "<" stays as written.
  setTextFormat(Qt::PlainText);
}

void ChangeLabel::setText(const QString& text) {
  if (text == QLabel::text()) return;
  QLabel::setText(text);
  if (autoSize_) adjustSize();
  emit changed();
}

void ChangeLabel::setAutoSize(bool on) {
  autoSize_ = on;
  if (on) adjustSize();
}

void ChangeLabel::setForeColor(const QColor& color) {
  QPalette colors = palette();
  colors.setColor(QPalette::WindowText, color);
  setPalette(colors);
}

void ChangeLabel::setBackColor(const QColor& color) {
  QPalette colors = palette();
  colors.setColor(QPalette::Window, color);
  setPalette(colors);
  setAutoFillBackground(true);
}

void ChangeLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  QLabel::mousePressEvent(event);
}

void ChangeLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click) emit clicked();
}

void ChangeLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (autoSize_ && event->type() == QEvent::FontChange) adjustSize();
}

void ChangeLabel::paintEvent(QPaintEvent* event) {
  if (!paintedFromPicture_ || !autoFillBackground()) return QLabel::paintEvent(event);
  const Look look{text(), size(), palette().cacheKey(), font().key(), isEnabled(), devicePixelRatio()};
  if (look != pictureLook_ || picture_.isNull()) {
    pictureLook_ = look;
    picture_ = QPixmap(size() * look.pixelRatio);
    picture_.setDevicePixelRatio(look.pixelRatio);
    picture_.fill(palette().color(backgroundRole()));
    QPainter painter(&picture_);
    painter.setFont(font());
    // QLabel's own drawing of a plain one-line text with no margin or indent.
    style()->drawItemText(&painter, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), text(), foregroundRole());
  }
  QPainter(this).drawPixmap(0, 0, picture_);
}
