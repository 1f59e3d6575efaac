#include "tools/conversion.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <optional>

#include "core/app.h"
#include "core/platform.h"
#include "core/textcodec.h"
#include "core/vbmp3binding.h"
#include "playback/load.h"
#include "playback/polling.h"
#include "ui/form1.h"
#include "ui/timerswitch.h"
#include "ui/tray.h"

namespace {

// What differs between the two directions.
struct Direction {
  QString filter;        // of the save dialog
  QString extension;     // of the file written
  QString failureTitle;  // of the refusals and failure messages
  QString name;          // of the conversion, in the end notice
};

const Direction kEncode{"mp3サウンド形式(*.mp3)", ".mp3", "エンコード失敗", "エンコード"};
const Direction kDecode{"waveサウンド形式(*.wav)", ".wav", "デコード失敗", "デコード"};

const Direction& directionOf(const Form1& f) {
  return f.Label20->text().compare(kEncode.extension, Qt::CaseInsensitive) == 0 ? kEncode : kDecode;
}

void refuse(App& app, const QString& text, const QString& title) {
  app.platform.messageBox(&app.form1(), text, title);
}

QString targetPath(const Form1& f) {
  const QString path = f.Label19->text() + f.Label20->text();
  return CutAtNul(path);
}

// One file under two names: the same file, also through links or other spellings.
bool sameFile(const QString& a, const QString& b) {
  struct stat sa;
  struct stat sb;
  return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
         ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

std::optional<QString> chooseTarget(App& app, const Direction& d) {
  const QString chosen =
      app.platform.saveFileName(&app.form1(), QStringLiteral("名前付けて保存"), d.filter, app.dataFolder());
  if (chosen.isEmpty()) return std::nullopt;
  return ConversionTarget(chosen, d.extension);
}

enum class TargetCheck { Write, Refused, Declined };

// Never writes over the file being converted; asks before replacing another file.
TargetCheck checkTarget(App& app, const QString& target, const QString& source, const Direction& d) {
  if (sameFile(target, source)) {
    refuse(app, QStringLiteral("[%1]は変換元のファイルです。\r\n別の名前で保存してください。").arg(target),
           d.failureTitle);
    return TargetCheck::Refused;
  }
  if (QFileInfo(target).isFile() &&
      app.platform.messageBox(
          &app.form1(), QStringLiteral("[%1]は既に存在します。\r\n上書きしますか？").arg(target),
          QStringLiteral("上書きの確認"), MessageButtons::YesNo, MessageIcon::Question) != MessageResult::Yes)
    return TargetCheck::Declined;
  return TargetCheck::Write;
}

// The target goes into Label19 (up to its extension) and Label20 (the extension as written).
void setTargetLabels(Form1& f, const QString& target) {
  const qsizetype stem = target.size() - 4;
  f.Label19->setText(target.left(stem));
  f.Label20->setText(target.mid(stem));
}

void reportFailure(App& app) {
  Form1& f = app.form1();
  f.Picture5->cls();
  refuse(app,
         QStringLiteral("[%1]を書き込めませんでした。\r\n保存先のフォルダーと空き容量を確かめてください。")
             .arg(targetPath(f)),
         directionOf(f).failureTitle);
}

// Follows a conversion whose start call answered `result`. Only the combined decode and
// play answers 0 for a conversion that did start (when the play fails), so the library's
// progress decides.
void follow(App& app, int16_t result) {
  Form1& f = app.form1();
  ApplyCaptionRule(app);  // takes away the notice of an earlier conversion's end
  int32_t perMille = 0;
  if (result == 0 && app.vbmp3.getConversionProgress(perMille) == VBMP3_CONVERSION_NONE) {
    reportFailure(app);
    return;
  }
  f.Picture5->cls();
  switchTimer(f.Timer7, true);
}

// Fills the progress strip from the left to `perMille` of its width.
void drawProgress(Form1& f, int32_t perMille) {
  PictureBox* strip = f.Picture5;
  const double width = strip->scaleWidth() > 0 ? strip->scaleWidth() : strip->innerSize().width();
  const double x = width * perMille / 1000.0;
  for (int y = 0; y < strip->innerSize().height(); ++y) strip->line(0, y, x, y);
}

// A normal or stopped end is shown in the caption; it needs no answer.
void showEnd(App& app, int32_t outcome) {
  Form1& f = app.form1();
  const Direction& d = directionOf(f);
  const QString name = QFileInfo(targetPath(f)).fileName();
  const QString notice = outcome == VBMP3_CONVERSION_DONE
                             ? QStringLiteral("%1完了：%2").arg(d.name, name)
                             : QStringLiteral("%1中止：%2（途中まで）").arg(d.name, name);
  f.setWindowTitle(CaptionWithTitle(notice));
}

// A decode without play leaves the play button off while it runs.
void offerPlayAgain(App& app) {
  Form1& f = app.form1();
  int32_t seconds = 0;
  if (app.vbmp3.getState(seconds) == VBMP3_STATE_STOPPED && f.Label3->text() != "00:00")
    f.Command1->setEnabled(true);
}

}  // namespace

QString ConversionTarget(const QString& chosen, const QString& extension) {
  const QString name = CutAtNul(chosen);
  return name.endsWith(extension, Qt::CaseInsensitive) ? name : name + extension;
}

void Form1_mFileEncode_Click(App& app) {
  Form1& f = app.form1();
  const QString source = f.Text1->text();
  if (!QFileInfo(source).isFile()) return;
  if (f.Label1->text() != "00:00") {
    refuse(app, QStringLiteral("停止状態でエンコードしてください。"), kEncode.failureTitle);
    return;
  }
  if (f.Label8->text() == "mp3" || f.Label8->text() == "MP3") {
    refuse(app, QStringLiteral("mp3形式ファイルはエンコード出来ません。"), QStringLiteral("拡張子エラー"));
    return;
  }
  const std::optional<QString> target = chooseTarget(app, kEncode);
  if (!target || checkTarget(app, *target, source, kEncode) != TargetCheck::Write) return;
  setTargetLabels(f, *target);

  EncodeInfo info{};
  if (!app.vbmp3.encodeOpen(source, info)) return;
  // The source's own bit rate, as the label shows it for a WAV track.
  f.Label9->setText(QString::number(qint64(info.samplingRate) * info.channels * info.bitsPerSample) +
                    "(b/s)");
  follow(app, app.vbmp3.encodeStart(targetPath(f)));
}

void Form1_mFileDecode_Click(App& app) {
  Form1& f = app.form1();
  const QString source = f.Text1->text();
  if (!QFileInfo(source).isFile()) return;
  if (f.Label1->text() != "00:00") {
    refuse(app, QStringLiteral("停止状態でデコードしてください。"), kDecode.failureTitle);
    return;
  }
  const std::optional<QString> target = chooseTarget(app, kDecode);
  if (target) {
    if (f.Label8->text() == "wav" || f.Label8->text() == "WAV") {
      refuse(app, QStringLiteral("wave形式ファイルはデコード出来ません。"), QStringLiteral("拡張子エラー"));
      return;
    }
    const TargetCheck check = checkTarget(app, *target, source, kDecode);
    if (check == TargetCheck::Refused) return;
    if (check == TargetCheck::Write) {
      setTargetLabels(f, *target);
      f.Command1->setEnabled(false);
      app.vbmp3.encodeStop();  // one conversion at a time: a new one replaces a running one
      const MessageResult play =
          app.platform.messageBox(&f, QStringLiteral("デコード開始と同時にデコード曲を再生しますか？"),
                                  QStringLiteral("再生の確認"), MessageButtons::YesNo, MessageIcon::Question);
      if (play == MessageResult::Yes) {
        follow(app, app.vbmp3.playDecodeWave(targetPath(f)));
        f.Command1->setEnabled(false);
        f.Command2->setEnabled(true);
        f.Command3->setEnabled(true);
        switchTimer(f.Timer1, true);
        switchTimer(f.Timer2, true);
        switchTimer(f.Timer4, true);
      } else {
        follow(app, app.vbmp3.decodeWave(targetPath(f)));
        RefreshPlayState(app);
      }
    }
  }
  RefreshPlayState(app);
}

void Form1_Timer7_Timer(App& app) {
  Form1& f = app.form1();
  int32_t perMille = 0;
  const int32_t outcome = app.vbmp3.getConversionProgress(perMille);
  drawProgress(f, perMille);
  if (outcome == VBMP3_CONVERSION_RUNNING) return;
  switchTimer(f.Timer7, false);
  offerPlayAgain(app);
  if (outcome == VBMP3_CONVERSION_FAILED) {
    reportFailure(app);
  } else if (outcome != VBMP3_CONVERSION_NONE) {
    showEnd(app, outcome);
  }
}
