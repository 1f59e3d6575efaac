// The program as a media player on a private session bus (ctest runs this under
// dbus-run-session), driven by the desktop's own clients, playerctl and dbus-send, with the
// real library playing MP3s made at test time: a Song List of two 8-second tracks, the first
// with a Japanese tag, loaded and stopped.
#include "ui/mpris.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>
#include <QUrl>
#include <cstring>

#include "e2e/desktop.h"
#include "e2e/real_program.h"
#include "playback/load.h"
#include "playback/transport.h"
#include "songlist/listfile.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"

namespace {

const QString kName = "org.mpris.MediaPlayer2.kestrune";
const QString kPath = "/org/mpris/MediaPlayer2";

// What the program announced: changed property names, the status with its value, Seeked.
class Announcements : public QObject {
  Q_OBJECT
 public:
  QStringList heard;

 public slots:
  void propertiesChanged(const QString&, const QVariantMap& changed, const QStringList&) {
    for (auto it = changed.begin(); it != changed.end(); ++it)
      heard << (it.key() == "PlaybackStatus" ? "PlaybackStatus=" + it.value().toString() : it.key());
  }
  void seeked(qlonglong) { heard << "Seeked"; }
};

class MediaPlayerBus : public RealProgram {
 protected:
  void SetUp() override {
    RealProgram::SetUp();
    if (HasFatalFailure()) return;
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") || !toolsPresent({"playerctl", "dbus-send"}))
      GTEST_SKIP() << "needs a session bus (run under dbus-run-session), playerctl and dbus-send";
    FieldPairs list;
    for (const char* name : {"one", "two"}) {
      ASSERT_TRUE(fixtures::makeWav(file(name + std::string(".wav")), 8.0));
      ASSERT_TRUE(fixtures::makeMp3(file(name + std::string(".wav")), file(name + std::string(".mp3"))));
      list.first << name;
      list.second << path(name + QString(".mp3"));
    }
    TagInfo tag{};
    std::strcpy(tag.title, "春の海");
    std::strcpy(tag.artist, "宮城道雄");
    std::strcpy(tag.album, "箏曲集");
    ASSERT_NE(decoder.library.setTagInfoEX(path("one.mp3"), tag, 1, 1), 0);
    ASSERT_EQ(writeListFile(path("List0.dat"), list), WriteStatus::Ok);
    start();
    ASSERT_EQ(StartMediaPlayerService(app), kName);
    selectEntry(app, 0);
    ASSERT_TRUE(LoadAndShowTrack(app, path("one.mp3"), LoadOptions::fromCache()));
    QDBusConnection listener = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "listener");
    listener.connect(kName, kPath, "org.freedesktop.DBus.Properties", "PropertiesChanged", &announced,
                     SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    listener.connect(kName, kPath, "org.mpris.MediaPlayer2.Player", "Seeked", &announced,
                     SLOT(seeked(qlonglong)));
  }

  // Runs a client while the program answers it; its standard output, or "error" when it failed.
  QString client(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000));
    QTest::qWait(20);  // the procedure runs after the answer
    if (process.exitCode() != 0) return "error";
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
  }
  QString playerctl(const QStringList& args) {
    return client("playerctl", QStringList{"-p", "kestrune"} + args);
  }
  QString call(const QString& member, const QStringList& args = {}) {
    return client("dbus-send",
                  QStringList{"--session", "--print-reply", "--dest=" + kName, kPath, member} + args);
  }

  bool heard(const QString& what) {
    return QTest::qWaitFor([&] { return announced.heard.contains(what); }, 2000);
  }
  int32_t state() {
    int32_t seconds = 0;
    return decoder.library.getState(seconds);
  }
  int32_t seconds() {
    int32_t seconds = 0;
    decoder.library.getState(seconds);
    return seconds;
  }

  Announcements announced;
};

TEST_F(MediaPlayerBus, PlayPauseTogglesTheRealPlayback) {
  for (const auto& [status, expected] : {std::pair{"Playing", VBMP3_STATE_PLAYING},
                                         {"Paused", VBMP3_STATE_PAUSED},
                                         {"Playing", VBMP3_STATE_PLAYING}}) {
    announced.heard.clear();
    playerctl({"play-pause"});
    EXPECT_EQ(state(), expected);
    EXPECT_EQ(playerctl({"status"}), status);
    EXPECT_TRUE(heard("PlaybackStatus=" + QString(status)));
  }
  EXPECT_FALSE(app.form1().Command1->isEnabled());
}

TEST_F(MediaPlayerBus, NextMovesDownTheSongListAndPreviousBackUp) {
  playerctl({"play"});
  const QString firstId = playerctl({"metadata", "mpris:trackid"});
  playerctl({"next"});
  EXPECT_EQ(selectedEntry(app), 1);
  EXPECT_EQ(state(), VBMP3_STATE_PLAYING);
  EXPECT_EQ(playerctl({"metadata", "xesam:title"}), "two");
  EXPECT_NE(playerctl({"metadata", "mpris:trackid"}), firstId);
  EXPECT_TRUE(heard("Metadata"));
  playerctl({"previous"});
  EXPECT_EQ(selectedEntry(app), 0);
}

TEST_F(MediaPlayerBus, MetadataCarriesTheJapaneseTag) {
  EXPECT_EQ(playerctl({"metadata", "--format",
                       "{{xesam:title}}|{{xesam:artist}}|{{xesam:album}}|{{mpris:length}}"}),
            "春の海|宮城道雄|箏曲集|8000000");
  EXPECT_EQ(playerctl({"metadata", "xesam:url"}), QUrl::fromLocalFile(path("one.mp3")).toString());
}

TEST_F(MediaPlayerBus, PositionAdvancesWhilePlayingAndSeekMovesIt) {
  playerctl({"play"});
  QTest::qWait(2300);
  EXPECT_NEAR(playerctl({"position"}).toDouble(), 2.0, 0.6);
  playerctl({"pause"});
  const int32_t paused = seconds();
  playerctl({"position", "3+"});
  EXPECT_EQ(seconds(), paused + 3);
  EXPECT_EQ(app.form1().HScroll1->value(), paused + 3);
  EXPECT_TRUE(heard("Seeked"));
  playerctl({"position", "1"});  // SetPosition on the current track
  EXPECT_EQ(seconds(), 1);
}

// Out of range, paused 4 s into the first track; "ID" stands for the track's id.
TEST_F(MediaPlayerBus, OutOfRangePositionsAreKeptSafe) {
  struct Case {
    const char* what;
    QString member, position;
    bool emptyList;
    QString track;
    int32_t seconds, state;
  };
  const Case cases[] = {
      {"back before the start", "Seek", "-100000000", false, "one", 0, VBMP3_STATE_PAUSED},
      {"past the end", "Seek", "100000000", false, "two", 0, VBMP3_STATE_PLAYING},
      {"past the end, no next entry", "Seek", "100000000", true, "one", 0, VBMP3_STATE_STOPPED},
      {"unknown track", "SetPosition /org/kestrune/track/999", "1000000", false, "one", 4,
       VBMP3_STATE_PAUSED},
      {"before 0", "SetPosition ID", "-1", false, "one", 4, VBMP3_STATE_PAUSED},
      {"past the length", "SetPosition ID", "8000001", false, "one", 4, VBMP3_STATE_PAUSED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    selectEntry(app, 0);
    ASSERT_TRUE(LoadAndShowTrack(app, path("one.mp3"), LoadOptions::fromSongList()));
    app.form2().Label2->setText(c.emptyList ? "0" : "2");  // the entry count
    Form1_Picture5_MouseDown(app, 4);
    Form1_Command3_Click(app);
    QStringList args{"int64:" + c.position};
    if (c.member.startsWith("SetPosition"))
      args.prepend("objpath:" +
                   c.member.section(' ', 1).replace("ID", playerctl({"metadata", "mpris:trackid"})));
    call("org.mpris.MediaPlayer2.Player." + c.member.section(' ', 0, 0), args);
    EXPECT_EQ(FileBaseName(app.form1().Text1->text()), c.track);
    EXPECT_EQ(seconds(), c.seconds);
    EXPECT_EQ(state(), c.state);
  }
}

TEST_F(MediaPlayerBus, VolumeMovesTheVolumeControlWithinItsRange) {
  for (const auto& [volume, bar] : {std::pair{"0.5", 50}, {"0.33", 35}, {"1.7", 100}, {"-0.25", 0}}) {
    call("org.freedesktop.DBus.Properties.Set",
         {"string:org.mpris.MediaPlayer2.Player", "string:Volume", QString("variant:double:") + volume});
    EXPECT_EQ(app.form1().HScroll3->value(), bar) << volume;
    EXPECT_EQ(playerctl({"volume"}).toDouble(), bar / 100.0) << volume;
  }
  EXPECT_EQ(app.form1().Image2->y(), 26 + 20 * 6);  // the knob at the bottom
}

TEST_F(MediaPlayerBus, OpenUriTakesExistingFilesOnly) {
  for (const QString uri : {"http://example.com/two.mp3", "file:///no/such/two.mp3", "file:two.mp3"}) {
    EXPECT_EQ(call("org.mpris.MediaPlayer2.Player.OpenUri", {"string:" + uri}), "error") << qPrintable(uri);
    EXPECT_EQ(app.form1().Text1->text(), path("one.mp3")) << qPrintable(uri);
  }
  call("org.mpris.MediaPlayer2.Player.OpenUri",
       {"string:" + QUrl::fromLocalFile(path("two.mp3")).toString()});
  EXPECT_EQ(app.form1().Text1->text(), path("two.mp3"));
  EXPECT_EQ(state(), VBMP3_STATE_PLAYING);
}

TEST_F(MediaPlayerBus, RaiseBringsTheWindowBackAndQuitEndsTheProgram) {
  app.form1().show();
  app.form1().showMinimized();
  call("org.mpris.MediaPlayer2.Raise");
  EXPECT_FALSE(app.form1().isMinimized());
  call("org.mpris.MediaPlayer2.Quit");
  EXPECT_EQ(platform.exitCode, 0);
  EXPECT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(kName));
}

// The real program beside this one: on the bus it takes the instance name; with no bus it
// runs as before and says nothing more.
TEST_F(MediaPlayerBus, AnotherProgramTakesAnInstanceNameAndOneWithoutABusRunsSilently) {
  QByteArray said[2];
  for (const bool withBus : {true, false}) {
    QTemporaryDir programFolder;
    for (const char* name : {"kestrune", "libvbmp3.so"})
      ASSERT_TRUE(QFile::copy(kBuild + "/" + name, programFolder.filePath(name)));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", programFolder.path());
    if (!withBus) env.remove("DBUS_SESSION_BUS_ADDRESS");
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(programFolder.filePath("kestrune"));
    const QString instance = kName + ".instance" + QString::number(program.processId());
    EXPECT_EQ(QTest::qWaitFor(
                  [&] { return QDBusConnection::sessionBus().interface()->isServiceRegistered(instance); },
                  withBus ? 10000 : 2000),
              withBus);
    EXPECT_EQ(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished();
    said[withBus] = program.readAllStandardError();
  }
  EXPECT_EQ(said[false], said[true]);
}

}  // namespace

#include "mpris_test.moc"
