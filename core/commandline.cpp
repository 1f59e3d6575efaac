#include "core/commandline.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <cstdio>

#include "kestrune_version.h"

namespace {

const char kUsage[] = "Usage: kestrune [--help] [--version] [FILE...]\n";
const char kHelp[] =
    "  FILE       開くMP3・WAVファイル。複数のときはSong Listに追加し、最初のファイルを開きます。\n"
    "             Kestruneが動いているときは、そのKestruneに渡します。\n"
    "  --help     この説明を表示して終了します。\n"
    "  --version  バージョンを表示して終了します。\n";

QString absolutePath(const QString& argument, const QString& workingFolder) {
  const QUrl url(argument);
  const QString path = url.isLocalFile() ? url.toLocalFile() : argument;
  return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(path));
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments, const QString& workingFolder) {
  CommandLine line;
  bool options = true;
  for (const QString& argument : arguments) {
    if (options && argument == "--") {
      options = false;
    } else if (options && argument == "--help") {
      line.action = CommandLine::Action::Help;
    } else if (options && argument == "--version") {
      line.action = CommandLine::Action::Version;
    } else if (options && argument.startsWith(u'-')) {
      return {CommandLine::Action::Invalid, {}, argument};
    } else if (!argument.isEmpty()) {
      line.files.append(absolutePath(argument, workingFolder));
    }
  }
  return line;
}

CommandLine ParseCommandLine(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments.append(QFile::decodeName(argv[i]));
  return ParseCommandLine(arguments, QDir::currentPath());
}

int AnswerCommandLine(const CommandLine& line) {
  switch (line.action) {
    case CommandLine::Action::Help:
      std::fputs(kUsage, stdout);
      std::fputs(kHelp, stdout);
      return 0;
    case CommandLine::Action::Version:
      std::printf("Kestrune %d.%d\n", kProgramVersionMajor, kProgramVersionMinor);
      return 0;
    case CommandLine::Action::Invalid:
      std::fprintf(stderr, "kestrune: 不明なオプション %s\n%s", qPrintable(line.unknownOption), kUsage);
      return 2;
    case CommandLine::Action::Run:
      break;
  }
  return 0;
}
