#include "ui/procedure.h"

#include <QAction>
#include <QSignalBlocker>

void connectMenuItem(App& app, QAction* item, Procedure procedure) {
  QObject::connect(item, &QAction::triggered, item, [&app, item, procedure = std::move(procedure)] {
    if (item->isCheckable()) {
      const QSignalBlocker quiet(item);
      item->setChecked(!item->isChecked());
    }
    procedure(app);
  });
}
