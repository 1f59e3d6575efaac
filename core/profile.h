// Profile (INI) files such as Option.ini: "[section]" lines followed by "key=value" lines.
//
// Reading, as the usual profile-string (INI) rules have it:
// - section and key names match without regard to letter case; surrounding blanks
//   (spaces, tabs) of section names, key names and values are not part of them;
// - a key line splits at its first "=", so values may hold "=";
// - a value enclosed in a pair of the same quote characters (" or ') loses that pair;
// - lines starting with ";" are comments; keys before the first section belong to none;
// - a missing file, section or key reads as empty text, and a value is cut to what the
//   caller's 1024-character buffer holds (1023 characters and the terminating NUL), and
//   at a NUL character.
//
// Writing replaces a key's value in place, appends a missing key at the end of its
// section and a missing section at the end of the file, and keeps every other line
// byte for byte, line ends included; new lines end in CR LF. A value is stored so that it
// reads back as written: a line break (CR LF, CR or LF) becomes one space, since a value
// is one line, and a value that starts or ends with a blank or is itself enclosed in
// quotes is stored inside double quotes. The file stays CP932 unless its text needs
// UTF-8, and is written atomically.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "core/atomicfile.h"

inline constexpr int kProfileReadBufferChars = 1024;

// One profile file in memory: load once, get and set any number of keys, save once.
class ProfileFile {
 public:
  // Reads the file now. A missing file is an empty profile.
  explicit ProfileFile(QString path);

  QString get(const QString& section, const QString& key) const;
  void set(const QString& section, const QString& key, const QString& value);

  // Writes the file when a set changed it (Ok without writing otherwise). A file that
  // exists but could not be read is never overwritten: CannotOpen.
  WriteStatus save();

 private:
  struct Line {
    QByteArray raw;  // the line's bytes as read, without its line end
    QByteArray end;  // "\r\n", "\n", "\r" or "" (last line without one)
    QString text;    // the line decoded
    bool edited = false;
  };
  struct Found {
    qsizetype keyLine = -1;     // the key's line, -1 when missing
    qsizetype sectionEnd = -1;  // where a new key of the section goes, -1: no section
  };

  Found find(const QString& section, const QString& key) const;
  void insertLine(qsizetype at, const QString& text);
  std::optional<QList<QByteArray>> encodeLines(bool utf8) const;
  QByteArray join(const QList<QByteArray>& encoded) const;

  QString path_;
  QList<Line> lines_;
  bool sourceUtf8_ = true;
  bool readable_ = true;
  bool changed_ = false;
};

// Single-key helpers: read or write one key, loading the file each time.
namespace profile {
QString read(const QString& path, const QString& section, const QString& key);
WriteStatus write(const QString& path, const QString& section, const QString& key, const QString& value);
}  // namespace profile
