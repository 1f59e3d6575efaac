// The six windows as designed (controls, captions, places, designed states, the main menu,
// timers) and how the windows come and go.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "fakes/program_test.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form4.h"
#include "ui/form5.h"
#include "ui/form6.h"
#include "ui/procedure.h"
#include "ui/wavearea.h"

namespace {

using Forms = ProgramTest;

// The windows as designed, one text file each under tests/ui/designed/: a line per widget
// (indented under its parent), menu item and timer, with what the design sets: class,
// name, caption, geometry, states, shortcut, tool tip, ranges and rows.
QString quoted(const QString& text) { return '"' + QString(text).replace('\n', "\\n") + '"'; }

QString captionOf(const QWidget* w) {
  if (auto* m = qobject_cast<const QMenu*>(w)) return m->title();
  if (w->isWindow()) return w->windowTitle();
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
  if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
  if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
  if (auto* c = qobject_cast<const QComboBox*>(w)) return c->currentText();
  return {};
}

QStringList comboItems(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

// What the design sets beyond caption and place, for the kinds of widget that have it.
QStringList detailsOf(const QWidget* w) {
  QStringList d;
  if (!w->isWindow() && w->isHidden()) d << "hidden";
  if (qobject_cast<const QMenu*>(w)) return d;  // its entries follow
  if (!w->isEnabled()) d << "disabled";
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
    if (b->isCheckable()) d << (b->isChecked() ? "[x]" : "[ ]");
    if (!b->icon().isNull()) d << "icon";
  }
  if (auto* l = qobject_cast<const QLabel*>(w); l && !l->pixmap().isNull()) d << "pixmap";
  if (w->isWindow() && !w->windowIcon().isNull()) d << "icon";
  if (w->minimumSize() != QSize(0, 0))
    d << QString("min=%1x%2").arg(w->minimumWidth()).arg(w->minimumHeight());
  if (w->maximumSize() != QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX))
    d << QString("max=%1x%2").arg(w->maximumWidth()).arg(w->maximumHeight());
  if (auto* bar = qobject_cast<const QScrollBar*>(w))
    d << QString("%1 %2..%3 step=%4/%5 value=%6")
             .arg(bar->orientation() == Qt::Horizontal ? "horizontal" : "vertical")
             .arg(bar->minimum())
             .arg(bar->maximum())
             .arg(bar->singleStep())
             .arg(bar->pageStep())
             .arg(bar->value());
  if (auto* c = qobject_cast<const QComboBox*>(w))
    d << (c->isEditable() ? "editable" : "list") << "items=" + quoted(comboItems(c).join('|'));
  if (auto* list = qobject_cast<const HiddenList*>(w)) d << "rows=" + quoted(list->texts().join('|'));
  if (auto* list = qobject_cast<const ListBox*>(w)) d << "rows=" + quoted(list->texts().join('|'));
  if (auto* p = qobject_cast<const PictureBox*>(w)) d << "fore=" + p->foreColor().name();
  if (auto* p = qobject_cast<const WaveArea*>(w)) d << "fore=" + p->foreColor().name();
  if (!w->toolTip().isEmpty()) d << "tip=" + quoted(w->toolTip());
  return d;
}

// A menu's entries in display order: "-" before an item, ">" before a submenu.
void describeActions(const QWidget* menu, const QString& indent, QStringList& out) {
  for (const QAction* a : menu->actions()) {
    if (a->menu()) {
      out << indent + "> " + a->menu()->objectName();
      continue;
    }
    QStringList line = {indent + "- " + a->objectName()};
    if (a->isSeparator())
      line << "----";
    else
      line << quoted(a->text());
    if (!a->shortcut().isEmpty()) line << a->shortcut().toString();
    if (a->isCheckable()) line << (a->isChecked() ? "[x]" : "[ ]");
    if (!a->isEnabled()) line << "disabled";
    if (a->actionGroup()) line << "grouped";
    out << line.join(' ');
  }
}

void describe(const QWidget* w, const QString& indent, QStringList& out) {
  const QRect g = w->geometry();
  QStringList line = {indent + w->metaObject()->className(), w->objectName()};
  if (const QString caption = captionOf(w); !caption.isEmpty()) line << quoted(caption);
  const bool menu = qobject_cast<const QMenu*>(w) || qobject_cast<const QMenuBar*>(w);
  if (!menu) line << QString("@%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
  out << (line + detailsOf(w)).join(' ');
  if (menu) describeActions(w, indent + "  ", out);
  for (const QObject* child : w->children()) {
    if (auto* timer = qobject_cast<const QTimer*>(child); timer && !timer->objectName().isEmpty())
      out << QString("%1  QTimer %2 %3ms%4")
                 .arg(indent, timer->objectName())
                 .arg(timer->interval())
                 .arg(timer->isActive() ? " running" : "");
    auto* widget = qobject_cast<const QWidget*>(child);
    // Qt's own parts of a widget have no name or a "qt_" one; the windows this one owns
    // are described on their own.
    if (!widget || qobject_cast<const QDialog*>(widget) || widget->objectName().isEmpty() ||
        widget->objectName().startsWith("qt_"))
      continue;
    describe(widget, indent + "  ", out);
  }
}

QWidget* window(App& app, const std::string& name) {
  for (QWidget* w : std::initializer_list<QWidget*>{&app.form1(), &app.form2(), &app.form3(), &app.form4(),
                                                    &app.form5(), &app.form6()})
    if (w->objectName().toStdString() == name) return w;
  return nullptr;
}

class DesignedWindow : public ProgramTest, public testing::WithParamInterface<std::string> {};

// Compares the window with its file. KESTRUNE_UPDATE_GOLDEN=1 rewrites the file instead,
// after a deliberate change to the design; review the file's diff before committing.
TEST_P(DesignedWindow, MatchesItsDescription) {
  QStringList lines;
  describe(window(app, GetParam()), "", lines);
  const QString file = qEnvironmentVariable("KESTRUNE_SOURCE_DIR") + "/tests/ui/designed/" +
                       QString::fromStdString(GetParam()) + ".txt";
  QFile stored(file);
  if (qEnvironmentVariable("KESTRUNE_UPDATE_GOLDEN") == "1") {
    ASSERT_TRUE(stored.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
    stored.write((lines.join('\n') + '\n').toUtf8());
    GTEST_SKIP() << "rewrote " << file.toStdString();
  }
  ASSERT_TRUE(stored.open(QIODevice::ReadOnly)) << file.toStdString();
  const QStringList expected = QString::fromUtf8(stored.readAll()).split('\n', Qt::SkipEmptyParts);
  // The differing stretch: the lines between the common start and the common end.
  qsizetype first = 0, tail = 0;
  while (first < expected.size() && first < lines.size() && expected[first] == lines[first]) ++first;
  while (tail < expected.size() - first && tail < lines.size() - first &&
         expected[expected.size() - 1 - tail] == lines[lines.size() - 1 - tail])
    ++tail;
  EXPECT_TRUE(expected == lines)
      << "The window differs from " << file.toStdString() << " from line " << first + 1 << ".\nExpected:\n"
      << expected.mid(first, expected.size() - first - tail).join('\n').toStdString() << "\nActual:\n"
      << lines.mid(first, lines.size() - first - tail).join('\n').toStdString()
      << "\nAfter a deliberate change to the design, rerun with KESTRUNE_UPDATE_GOLDEN=1 "
         "to rewrite the file.";
}

INSTANTIATE_TEST_SUITE_P(Windows, DesignedWindow,
                         testing::Values("Form1", "Form2", "Form3", "Form4", "Form5", "Form6"),
                         [](const auto& info) { return info.param; });

TEST_F(Forms, MenuClickProcedureSeesTheMarkAsItWas) {
  Form1& f = app.form1();
  QList<bool> seen;
  connectMenuItem(app, f.mRepeat, [&](App& app) {
    seen << app.form1().mRepeat->isChecked();
    app.form1().mRandam->setChecked(true);
  });
  connectMenuItem(app, f.mOpen, [&](App&) { seen << false; });

  f.mRepeat->trigger();
  EXPECT_EQ(seen, QList<bool>({true}));
  EXPECT_TRUE(f.mRepeat->isChecked());  // Qt did not flip it; the procedure left it
  EXPECT_TRUE(f.mRandam->isChecked());
  f.mOpen->trigger();
  EXPECT_EQ(seen.size(), 2);
}

TEST_F(Forms, JapaneseCaptionsHaveGlyphs) {
  const QFontMetrics metrics(app.form3().Check1->font());
  for (QChar c : QString("ランダム再生時存在しないファイルを無視"))
    EXPECT_TRUE(metrics.inFont(c)) << int(c.unicode());
}

TEST_F(Forms, WindowsAreCreatedOnFirstTouchAndOwnedByTheMainWindow) {
  EXPECT_FALSE(app.form4Created());
  EXPECT_FALSE(app.form5Created());
  Form4& equalizer = app.form4();
  EXPECT_TRUE(app.form4Created());
  EXPECT_EQ(&app.form4(), &equalizer);
  EXPECT_EQ(equalizer.parentWidget(), &app.form1());
  const App elsewhere(decoder, platform, folder.path() + "/");
  EXPECT_EQ(elsewhere.file("Option.ini"), folder.path() + "/Option.ini");
}

TEST_F(Forms, SecondaryWindowsStartHiddenAndOnlyHideWhenClosed) {
  app.form1().show();
  const std::vector<SecondaryWindow*> windows = {&app.form2(), &app.form3(), &app.form4(), &app.form5(),
                                                 &app.form6()};
  for (SecondaryWindow* w : windows) {
    SCOPED_TRACE(w->objectName().toStdString());
    EXPECT_FALSE(w->isVisible());
    QSignalSpy closeBox(w, &SecondaryWindow::closeBoxPressed);
    QPointer<SecondaryWindow> alive(w);

    w->show();
    EXPECT_FALSE(w->close());      // the close is cancelled ...
    EXPECT_FALSE(w->isVisible());  // ... and the window hidden
    w->show();
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());

    EXPECT_EQ(closeBox.count(), 2);
    EXPECT_FALSE(alive.isNull());
  }
}

TEST_F(Forms, ClosingTheMainWindowRunsTheShutdownHook) {
  Form1& f = app.form1();
  int shutdowns = 0;
  f.onClose = [&] { ++shutdowns; };
  f.show();
  f.close();
  EXPECT_EQ(shutdowns, 1);
}

}  // namespace
