#include "ui/programstyle.h"

#include <QApplication>
#include <QFont>

#include "ui/pictures.h"

void setProgramLook() {
  QApplication::setStyle(new ProgramStyle);
  QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 9));
}

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                 const QWidget* widget) const {
  if (icon == SP_ToolBarHorizontalExtensionButton) return QIcon(formPicture(":/icons/menu_more.argb"));
  return QProxyStyle::standardIcon(icon, option, widget);
}
