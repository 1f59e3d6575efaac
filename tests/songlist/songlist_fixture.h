// The program with helpers to fill and read the Song List.
#pragma once

#include <gtest/gtest.h>

#include <QTest>

#include "fakes/program_test.h"
#include "songlist/listfile.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"

class SongListTest : public ProgramTest {
 protected:
  Form1& main() { return app.form1(); }
  Form2& songList() { return app.form2(); }
  Form3& properties() { return app.form3(); }

  QStringList titles() { return songList().List1->texts(); }
  QStringList paths() { return songList().List2->texts(); }

  // Puts entries into the list as start-up does, without running anything.
  void fill(const QStringList& newTitles, const QString& trackFolder = "/m/") {
    for (const QString& title : newTitles) {
      songList().List1->addItem(title);
      songList().List2->addItem(trackFolder + title + ".mp3");
    }
    songList().Label2->setText(QString::number(songList().List1->count()));
  }

  void writeList(int genre, const QStringList& listTitles) {
    FieldPairs records;
    for (const QString& title : listTitles) {
      records.first << title;
      records.second << "/m/" + title + ".mp3";
    }
    ASSERT_EQ(writeListFile(path(listFileName(genre)), records), WriteStatus::Ok);
  }
};
