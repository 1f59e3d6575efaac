// The song list files (List0.dat, List1.dat, ...) and the genre file (Part.dat).
//
// Both are a sequence of records of two fields, each field one line: a double quote, the
// text, a double quote, CR LF. A list file holds title and path per entry; Part.dat holds
// each user genre's name twice (the Properties copy, then the Song List copy). An empty
// list is an empty file. Files are CP932, or UTF-8 when some text has no CP932 form.
//
// Reading takes fields separated by commas or line ends, so hand-written files with two
// quoted fields on one line read the same as the two-line form:
// - blanks (spaces, tabs) before a field are skipped; blank lines are skipped;
// - a field that starts with a double quote runs to the next double quote, across commas
//   and line ends; a doubled quote inside it stands for one quote; whatever follows the
//   closing quote up to the next comma or line end is ignored; a quote that is never
//   closed takes the rest of the file;
// - a field without quotes runs to the next comma or line end, trailing blanks dropped;
// - a comma at the end of a line is followed by an empty field;
// - a last field without its partner is dropped; at most kMaxListEntries records are read.
// Writing doubles any double quote inside a text, so names with quotes read back whole.
// The same syntax serves files with more fields to a record (the equalizer presets'
// Sound.dat): parseFields and formatFields take the fields as one run.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "core/atomicfile.h"

namespace textcodec {
class PieceDecoder;
}

inline constexpr int kMaxListEntries = 32767;

struct FieldPairs {
  QStringList first;   // titles, or the Properties copy of the genre names
  QStringList second;  // paths, or the Song List copy of the genre names
};

// "List<genre>.dat", the number without leading zeros.
QString listFileName(int genre);

// Where a field lies in a list file's bytes: from start to end, not included; a quoted
// field starts at its opening quote and ends before its closing one.
struct FieldSpan {
  qsizetype start;
  qsizetype end;
};

// A list or genre file read and cut into records, each field decoded only when asked for,
// so that a long list costs little until its texts are used.
class ListFile {
 public:
  explicit ListFile(const QByteArray& bytes);
  ~ListFile();
  ListFile(const ListFile&) = delete;
  ListFile& operator=(const ListFile&) = delete;

  int count() const { return static_cast<int>(fields_.size() / 2); }
  // Field `column` (0 or 1) of a record; empty when there is no such field.
  QString text(int record, int column) const;
  FieldPairs texts() const;

 private:
  QByteArray bytes_;
  std::vector<FieldSpan> fields_;                            // two per record
  mutable std::unique_ptr<textcodec::PieceDecoder> decode_;  // made at the first text
};

// Reads a list or genre file; a missing or unreadable file gives no records.
std::shared_ptr<const ListFile> openListFile(const QString& path);
FieldPairs readListFile(const QString& path);
FieldPairs parseListFile(const QByteArray& bytes);

// Writes the records (first[k], second[k]) in order, replacing the file atomically.
WriteStatus writeListFile(const QString& path, const FieldPairs& records);
QByteArray formatListFile(const FieldPairs& records);

// Every field of a file in this syntax, in order, whatever their spread over lines; a
// missing or unreadable file has none.
QStringList readFields(const QString& path);
QStringList parseFields(const QByteArray& bytes);
// The fields one to a line, quoted, in CP932 (UTF-8 when some text has no CP932 form).
QByteArray formatFields(const QStringList& fields);

enum class EnsureStatus {
  Ok,            // the file exists now (created empty when it was missing)
  NotWritable,   // it, or its folder, cannot be opened for writing (read-only, a folder, ...)
  OtherFailure,  // anything else (missing folder, no space, ...)
};

// Creates an empty file when missing by opening it for appending; an existing file is left
// as it is.
EnsureStatus ensureExists(const QString& path);
