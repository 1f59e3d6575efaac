#include "ui/programstyle.h"

#include "ui/pictures.h"

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                 const QWidget* widget) const {
  if (icon == SP_ToolBarHorizontalExtensionButton) return QIcon(formPicture(":/icons/menu_more.png"));
  return QProxyStyle::standardIcon(icon, option, widget);
}
