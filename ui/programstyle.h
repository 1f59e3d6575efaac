// The program's widget style: the platform's own, except that the menu bar's overflow
// arrow is our picture. Qt reads its own arrow through the image plug-ins, and loading them
// (with the SVG module) while the main window's menu bar is built would cost more at every
// start-up than building all of its menus.
#pragma once

#include <QProxyStyle>

// Installs the program's style, and makes the windows' font the application's, so that
// menus, message boxes and dialogs show Japanese in the same face as the windows do.
void setProgramLook();

class ProgramStyle : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;
};
