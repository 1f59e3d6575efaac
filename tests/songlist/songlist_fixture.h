// A program folder in a temporary directory, the real windows and the scripted services,
// with helpers to fill and read the Song List.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/app.h"
#include "fakes/scripted_decoder.h"
#include "fakes/scripted_platform.h"
#include "songlist/listfile.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"

class SongListTest : public ::testing::Test {
 protected:
  Form1& main() { return app_.form1(); }
  Form2& songList() { return app_.form2(); }
  Form3& properties() { return app_.form3(); }

  QStringList titles() { return songList().List1->texts(); }
  QStringList paths() { return songList().List2->texts(); }

  // Puts entries into the list as start-up does, without running anything.
  void fill(const QStringList& newTitles, const QString& folder = "/m/") {
    for (const QString& title : newTitles) {
      songList().List1->addItem(title);
      songList().List2->addItem(folder + title + ".mp3");
    }
    songList().Label2->setText(QString::number(songList().List1->count()));
  }

  QString file(const QString& name) const { return dir_.filePath(name); }
  QByteArray bytes(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void writeList(int genre, const QStringList& listTitles) {
    FieldPairs records;
    for (const QString& title : listTitles) {
      records.first << title;
      records.second << "/m/" + title + ".mp3";
    }
    ASSERT_EQ(writeListFile(file(listFileName(genre)), records), WriteStatus::Ok);
  }

  QTemporaryDir dir_;
  ScriptedDecoder decoder_;
  ScriptedPlatform platform_;
  App app_{decoder_, platform_, dir_.path()};
};
