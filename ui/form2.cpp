#include "ui/form2.h"

#include <QDropEvent>
#include <QMimeData>
#include <QShortcut>

#include "core/app.h"
#include "playback/transport.h"
#include "songlist/genres.h"
#include "songlist/indexdisplay.h"
#include "songlist/listplay.h"
#include "songlist/search.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/procedure.h"

Form2::Form2(App& app) : SecondaryWindow(&app.form1()), app_(app) {
  setupUi(this);
  connectProcedures();
}

// ---- Event procedures of this window -----------------------------------------------------
void Form2::connectProcedures() {
  connect(List1, &ListBox::itemSelectionChanged, this, runs(app_, Form2_List1_Click));
  connect(List1, &ListBox::rowDoubleClicked, this, runs(app_, Form2_List1_DblClick));
  connect(Command1, &QPushButton::clicked, this, runs(app_, Form2_Command1_Click));
  connect(Command8, &QPushButton::clicked, this, runs(app_, Form2_Command8_Click));
  connect(Command2, &QPushButton::clicked, this, runs(app_, Form2_Command2_Click));
  connect(Command3, &QPushButton::clicked, this, runs(app_, Form2_Command3_Click));
  connect(Command4, &QPushButton::clicked, this, runs(app_, Form2_Command4_Click));
  connect(Command5, &QPushButton::clicked, this, runs(app_, Form2_Command5_Click));
  connect(Command6, &QPushButton::clicked, this, runs(app_, Form2_Command6_Click));
  connect(Command7, &QPushButton::clicked, this, runs(app_, Form2_Command7_Click));
  connect(Command9, &QPushButton::clicked, this, runs(app_, Form2_Command9_Click));
  connect(Combo1, &QComboBox::currentIndexChanged, this, runs(app_, Form2_Combo1_Click));
  connect(Label1, &ChangeLabel::changed, this, runs(app_, Form2_Label1_Change));
  connect(new QShortcut(Qt::Key_Space, this), &QShortcut::activated, this, runs(app_, PlayPauseKey));
  // Files dragged from a file manager are dropped on the titles' viewport.
  List1->viewport()->setAcceptDrops(true);
  List1->viewport()->installEventFilter(this);
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
  if (watched != List1->viewport()) return SecondaryWindow::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (drag->mimeData()->hasUrls())
        drag->acceptProposedAction();
      else
        drag->ignore();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      drop->acceptProposedAction();
      Form2_List1_OLEDragDrop(app_, *drop->mimeData());
      return true;
    }
    default:
      return SecondaryWindow::eventFilter(watched, event);
  }
}
