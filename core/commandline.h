// The command line: sound files to open, or a question about the program itself.
#pragma once

#include <QString>
#include <QStringList>

struct CommandLine {
  enum class Action { Run, Help, Version, Invalid };
  Action action = Action::Run;
  QStringList files;      // absolute paths (file: URLs taken as their paths), in the given order
  QString unknownOption;  // for Invalid
};

// Reads the arguments that follow the program's name; relative paths are taken from
// `workingFolder`. "--" ends the options: everything after it is a file.
CommandLine ParseCommandLine(const QStringList& arguments, const QString& workingFolder);
// The same for main's arguments, from the process's working folder.
CommandLine ParseCommandLine(int argc, char** argv);

// Answers --help and --version on standard output (exit status 0) and an unknown option on
// standard error with the usage line (exit status 2).
int AnswerCommandLine(const CommandLine& line);
