// The command line read into files and questions, the socket's name per user and display,
// and a later start's files reaching the running program through that socket.
#include "core/commandline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QTest>
#include <cstring>

#include "core/instance.h"
#include "fakes/program_test.h"

namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, ReadsFilesAndOptions) {
  struct Case {
    QStringList arguments;
    Action action;
    QStringList files;
    QString unknown;
  };
  const Case cases[] = {
      {{}, Action::Run, {}, {}},
      {{"a.mp3", "/x/b.wav", ""}, Action::Run, {"/home/u/music/a.mp3", "/x/b.wav"}, {}},
      {{"../曲 c.mp3", "./d/../e.mp3"}, Action::Run, {"/home/u/曲 c.mp3", "/home/u/music/e.mp3"}, {}},
      {{"file:///x/%E6%9B%B2%20a.mp3"}, Action::Run, {"/x/曲 a.mp3"}, {}},
      {{"--", "-x.mp3", "--help"}, Action::Run, {"/home/u/music/-x.mp3", "/home/u/music/--help"}, {}},
      {{"a.mp3", "--help"}, Action::Help, {"/home/u/music/a.mp3"}, {}},
      {{"--version"}, Action::Version, {}, {}},
      {{"a.mp3", "-x", "--help"}, Action::Invalid, {}, "-x"},
      {{"--verbose"}, Action::Invalid, {}, "--verbose"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const CommandLine line = ParseCommandLine(c.arguments, "/home/u/music");
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.files, c.files);
    EXPECT_EQ(line.unknownOption, c.unknown);
  }
}

TEST(InstanceServerNameTest, OnePerUserAndDisplay) {
  const QByteArray names[] = {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"};
  QByteArray saved[3];
  for (int i = 0; i < 3; ++i) saved[i] = qgetenv(names[i]);
  QTemporaryDir runtime;
  const QString user = QString::number(::getuid());
  const QString inRuntime = runtime.path() + "/kestrune-" + user,
                inTemp = QDir::tempPath() + "/kestrune-" + user;
  const std::pair<QStringList, QString> cases[] = {
      {{":42", "", runtime.path()}, inRuntime + "-_42"},
      {{"host:10.0", "", runtime.path()}, inRuntime + "-host_10.0"},
      {{":0", "wayland-1", runtime.path()}, inRuntime + "-wayland_1"},
      {{":7", "", "/no/such/folder"}, inTemp + "-_7"},
      {{"", "", runtime.path()}, ""},
  };
  for (const auto& [environment, name] : cases) {
    for (int i = 0; i < 3; ++i) qputenv(names[i], environment[i].toUtf8());
    EXPECT_EQ(InstanceServerName(), name) << qPrintable(environment.join(' '));
  }
  for (int i = 0; i < 3; ++i) qputenv(names[i], saved[i]);
}

// A socket file with no one listening, as a program that ended abruptly leaves it.
bool makeStaleSocket(const QString& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
  const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return bound;
}

TEST(InstanceServerTest, StaleSocketGivesWayAndHandedFilesWaitForTheReceiver) {
  QTemporaryDir runtime;
  const QString name = runtime.filePath("kestrune-test");
  ASSERT_TRUE(makeStaleSocket(name));
  EXPECT_FALSE(HandOverToRunningProgram(name, {"/m/a.mp3"}));

  InstanceServer server;
  ASSERT_TRUE(server.listen(name));
  ASSERT_TRUE(HandOverToRunningProgram(name, {"/m/a.mp3", "/m/曲 b.wav"}));
  ASSERT_TRUE(HandOverToRunningProgram(name, {}));
  QTest::qWait(50);  // they arrive before the window is up: nothing is lost meanwhile

  std::vector<QStringList> received;
  server.setReceiver([&received](const QStringList& files) { received.push_back(files); });
  EXPECT_TRUE(QTest::qWaitFor([&received] { return received.size() == 2; }, 5000));
  EXPECT_THAT(received, testing::UnorderedElementsAre(QStringList{"/m/a.mp3", "/m/曲 b.wav"}, QStringList{}));
}

}  // namespace
