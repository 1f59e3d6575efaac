#include "ui/mpris.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QEvent>
#include <QFileInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "core/app.h"
#include "core/startup.h"
#include "core/textcodec.h"
#include "core/vbmp3binding.h"
#include "playback/load.h"
#include "playback/navigation.h"
#include "playback/transport.h"
#include "ui/changelabel.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/picturebox.h"
#include "ui/tray.h"

namespace {

const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.kestrune");
const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
constexpr qint64 kMicroseconds = 1000000;  // per second

qint64 microseconds(qint64 seconds) { return seconds * kMicroseconds; }

// Runs `work` once the call being handled has been answered: a procedure may open a message
// box, which must not hold the caller waiting.
void afterAnswer(QObject* context, std::function<void()> work) {
  QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
}

// The object at /org/mpris/MediaPlayer2, a child of the main window, with the two interfaces
// as its adaptors. It undoes its own registrations when it goes.
class MediaPlayerService : public QObject {
 public:
  explicit MediaPlayerService(App& app);
  ~MediaPlayerService() override {
    leaveBus();
    if (objectRegistered_) QDBusConnection::sessionBus().unregisterObject(kObjectPath);
  }

  // The bus name taken, empty when neither name could be had.
  QString joinBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    objectRegistered_ = bus.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors);
    if (!objectRegistered_) return {};
    const QString instance = kServiceName + ".instance" + QString::number(QCoreApplication::applicationPid());
    for (const QString& name : {kServiceName, instance}) {
      if (bus.registerService(name)) return name_ = name;
    }
    return {};
  }

  // A blocking call on the connection: everything sent before it, answers included, is out.
  void leaveBus() {
    if (!name_.isEmpty()) QDBusConnection::sessionBus().unregisterService(std::exchange(name_, {}));
  }

 private:
  bool objectRegistered_ = false;
  QString name_;
};

// org.mpris.MediaPlayer2: the program as a whole.
class RootInterface : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ yes)
  Q_PROPERTY(bool CanRaise READ yes)
  Q_PROPERTY(bool HasTrackList READ no)
  Q_PROPERTY(QString Identity READ identity)
  Q_PROPERTY(QString DesktopEntry READ desktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ uriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ mimeTypes)

 public:
  RootInterface(MediaPlayerService* service, App& app)
      : QDBusAbstractAdaptor(service), service_(*service), app_(app) {}

  bool yes() const { return true; }
  bool no() const { return false; }
  QString identity() const { return kProgramTitle; }
  QString desktopEntry() const { return QStringLiteral("kestrune"); }
  QStringList uriSchemes() const { return {QStringLiteral("file")}; }
  QStringList mimeTypes() const { return {"audio/mpeg", "audio/wav", "audio/x-wav"}; }

 public slots:
  // As a click on the tray icon: out of the tray or minimized, in front.
  void Raise() {
    afterAnswer(this, [this] { Form1_TrayIcon_Click(app_); });
  }
  void Quit() {
    afterAnswer(this, [this] {
      service_.leaveBus();
      Form1_mEnd_Click(app_);
    });
  }

 private:
  MediaPlayerService& service_;
  App& app_;
};

// The track of the main window as the bus shows it; its tag is read once per file.
struct Track {
  QString path;
  QString id;  // an object path, new for each file
  QString title, artist, album;
};

// org.mpris.MediaPlayer2.Player: the transport, the track and the volume.
class PlayerInterface : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
  Q_PROPERTY(double Rate READ rate)
  Q_PROPERTY(double MinimumRate READ minimumRate)
  Q_PROPERTY(double MaximumRate READ maximumRate)
  Q_PROPERTY(QVariantMap Metadata READ metadata)
  Q_PROPERTY(double Volume READ volume WRITE setVolume)
  Q_PROPERTY(qlonglong Position READ position)
  Q_PROPERTY(bool CanGoNext READ canGoNext)
  Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
  Q_PROPERTY(bool CanPlay READ hasTrack)
  Q_PROPERTY(bool CanPause READ hasTrack)
  Q_PROPERTY(bool CanSeek READ canSeek)
  Q_PROPERTY(bool CanControl READ yes)

 public:
  PlayerInterface(QObject* service, App& app) : QDBusAbstractAdaptor(service), app_(app) {
    announced_ = announcedProperties();
    watchWindow();
  }

  QString playbackStatus() const {
    switch (decoderState()) {
      case VBMP3_STATE_PLAYING:
        return QStringLiteral("Playing");
      case VBMP3_STATE_PAUSED:
        return QStringLiteral("Paused");
      default:
        return QStringLiteral("Stopped");
    }
  }
  // The pitch bar: speed and pitch together, the position in track time. Set in the window.
  double rate() const { return pitchBar()->value() / 100.0; }
  double minimumRate() const { return pitchBar()->minimum() / 100.0; }
  double maximumRate() const { return pitchBar()->maximum() / 100.0; }
  QVariantMap metadata();
  double volume() const { return double(volumeBar()->value()) / volumeBar()->maximum(); }
  void setVolume(double volume) {
    if (std::isfinite(volume)) answerThen([this, volume] { stepVolumeTo(std::clamp(volume, 0.0, 1.0)); });
  }
  qlonglong position() const {
    int32_t seconds = 0;
    decoderState(&seconds);
    return microseconds(seconds);
  }
  bool canGoNext() const { return hasEntries() && app_.form1().Command7->isEnabled(); }
  bool canGoPrevious() const { return hasEntries() && app_.form1().Command4->isEnabled(); }
  // Label3 "00:00" is what marks the window without a track.
  bool hasTrack() const { return app_.form1().Label3->text() != QStringLiteral("00:00"); }
  bool canSeek() const { return hasTrack() && lengthSeconds() > 0; }
  bool yes() const { return true; }

 public slots:
  void Play() {
    answerThen([this] { play(); });
  }
  void Pause() {
    answerThen([this] { pause(); });
  }
  void PlayPause() {
    answerThen([this] { PlayOrPause(app_); });
  }
  void Stop() {
    answerThen([this] { stop(); });
  }
  void Next() {
    answerThen([this] {
      if (canGoNext()) Form1_Command7_Click(app_);
    });
  }
  void Previous() {
    answerThen([this] {
      if (canGoPrevious()) Form1_Command4_Click(app_);
    });
  }
  void Seek(qlonglong offset) {
    answerThen([this, offset] { seekBy(offset); });
  }
  void SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
    answerThen([this, trackId, position] {
      if (seekable() && trackId.path() == track().id && position >= 0 &&
          position <= microseconds(lengthSeconds()))
        seekTo(position);
    });
  }
  // As the open dialog would, then play. Only absolute file: URIs of existing files.
  void OpenUri(const QString& uri, const QDBusMessage& call) {
    const QUrl url(uri);
    const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
    if (path.isEmpty() || !QFileInfo(path).isAbsolute()) {
      refuse(call, QDBusError::NotSupported, QStringLiteral("Only file: URIs open: ") + uri);
    } else if (!QFileInfo(path).isFile()) {
      refuse(call, QDBusError::InvalidArgs, QStringLiteral("No such file: ") + path);
    } else {
      answerThen([this, path] {
        if (LoadAndShowTrack(app_, path, LoadOptions::fromOpenDialog())) play();
      });
    }
  }

 signals:
  void Seeked(qlonglong Position);

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::EnabledChange) announceSoon();
    return false;
  }

 private:
  int32_t decoderState(int32_t* seconds = nullptr) const {
    int32_t position = 0;
    const int32_t state = app_.vbmp3.getState(position);
    if (seconds) *seconds = position;
    return state;
  }
  static void refuse(const QDBusMessage& call, QDBusError::ErrorType error, const QString& why) {
    call.setDelayedReply(true);
    QDBusConnection::sessionBus().send(call.createErrorReply(error, why));
  }
  QScrollBar* volumeBar() const { return app_.form1().HScroll3; }
  QScrollBar* pitchBar() const { return app_.form1().HScroll2; }
  bool hasEntries() const { return app_.form2().Label2->text().trimmed().toInt() != 0; }
  qint64 lengthSeconds() const { return app_.form1().Text3->text().trimmed().toLongLong(); }
  // A stopped track starts from its beginning, wherever the bar was put.
  bool seekable() const { return canSeek() && decoderState() != VBMP3_STATE_STOPPED; }

  // Each half of the play/pause toggle, the buttons' guards included.
  void play() {
    if (decoderState() != VBMP3_STATE_PLAYING) PlayOrPause(app_);
  }
  void pause() {
    if (decoderState() == VBMP3_STATE_PLAYING) PlayOrPause(app_);
  }
  void stop() {
    if (app_.form1().Command2->isEnabled()) Form1_Command2_Click(app_);
  }

  // Before the start: the start. Past the end: the next entry, or stop when there is none.
  void seekBy(qint64 offset) {
    if (!seekable()) return;
    const qint64 from = position(), length = microseconds(lengthSeconds());
    if (offset < -from) {
      seekTo(0);
    } else if (offset > length - from) {
      canGoNext() ? Form1_Command7_Click(app_) : stop();
    } else {
      seekTo(from + offset);
    }
  }
  // A press on the progress strip at the nearest second.
  void seekTo(qint64 position) {
    Form1_Picture5_MouseDown(app_, double((position + kMicroseconds / 2) / kMicroseconds));
    emit Seeked(this->position());
  }

  // The volume buttons' steps, as long as a step brings the bar nearer: the knob moves too.
  void stepVolumeTo(double volume) {
    QScrollBar* bar = volumeBar();
    const int target = int(std::lround(volume * bar->maximum()));
    for (int before = -1; bar->value() != before;) {
      before = bar->value();
      if (target - before > kVolumeStep / 2) {
        Form1_Command11_Click(app_);
      } else if (before - target > kVolumeStep / 2) {
        Form1_Command12_Click(app_);
      }
    }
  }

  const Track& track();

  // Method calls run after their answer, then say what they changed.
  void answerThen(std::function<void()> work) {
    afterAnswer(this, [this, work = std::move(work)] {
      work();
      announceChanges();
    });
  }

  void watchWindow();
  QVariantMap announcedProperties() {
    return {{"PlaybackStatus", playbackStatus()},
            {"Metadata", metadata()},
            {"Volume", volume()},
            {"Rate", rate()},
            {"CanGoNext", canGoNext()},
            {"CanGoPrevious", canGoPrevious()},
            {"CanPlay", hasTrack()},
            {"CanPause", hasTrack()},
            {"CanSeek", canSeek()}};
  }
  // Once the procedure that changed a control has finished, not in its middle.
  void announceSoon() {
    if (std::exchange(announcePending_, true)) return;
    afterAnswer(this, [this] { announceChanges(); });
  }
  void announceChanges();

  App& app_;
  Track track_;
  int tracksSeen_ = 0;
  QVariantMap announced_;  // the properties as PropertiesChanged last told them
  bool announcePending_ = false;
};

const Track& PlayerInterface::track() {
  const QString path = TrimSpaces(app_.form1().Text1->text());
  if (track_.id.isEmpty() || path != track_.path) {
    TagInfo tag{};
    app_.vbmp3.getFileTagInfoEX(path, tag);
    track_ = {path, QStringLiteral("/org/kestrune/track/%1").arg(++tracksSeen_),
              CutAtNul(tag.title).trimmed(), CutAtNul(tag.artist).trimmed(), CutAtNul(tag.album).trimmed()};
  }
  return track_;
}

// The tag's title, else the file's name, as the title line has them.
QVariantMap PlayerInterface::metadata() {
  if (!hasTrack()) return {{"mpris:trackid", QVariant::fromValue(QDBusObjectPath(kNoTrack))}};
  const Track& t = track();
  QVariantMap data{{"mpris:trackid", QVariant::fromValue(QDBusObjectPath(t.id))},
                   {"mpris:length", microseconds(lengthSeconds())},
                   {"xesam:title", t.title.isEmpty() ? FileBaseName(t.path) : t.title},
                   {"xesam:url", QString::fromUtf8(QUrl::fromLocalFile(t.path).toEncoded())}};
  if (!t.artist.isEmpty()) data.insert("xesam:artist", QStringList{t.artist});
  if (!t.album.isEmpty()) data.insert("xesam:album", t.album);
  return data;
}

void PlayerInterface::watchWindow() {
  Form1& f = app_.form1();
  // Play, pause, stop and losing the track switch these on or off; a stop while paused
  // switches nothing, but it is a press of Command2.
  for (QWidget* button : {f.Command1, f.Command2, f.Command4, f.Command7}) button->installEventFilter(this);
  const auto soon = [this] { announceSoon(); };
  connect(f.Command2, &QPushButton::clicked, this, soon);
  connect(f.Text1, &ChangeLabel::changed, this, soon);   // the file
  connect(f.Label3, &ChangeLabel::changed, this, soon);  // its length, "00:00" without a track
  connect(f.HScroll2, &QScrollBar::valueChanged, this, soon);
  connect(f.HScroll3, &QScrollBar::valueChanged, this, soon);
  connect(app_.form2().Label2, &ChangeLabel::changed, this, soon);  // the Song List's entry count

  // The user's seeks: the seek bar moved by hand (it seeks when let go, on a click or a key)
  // and presses on the progress strip. Their procedures have run when this comes.
  const auto seeked = [this] { afterAnswer(this, [this] { emit Seeked(position()); }); };
  connect(f.HScroll1, &QScrollBar::sliderReleased, this, seeked);
  connect(f.HScroll1, &QScrollBar::actionTriggered, this, [seeked](int action) {
    if (action != QAbstractSlider::SliderMove) seeked();
  });
  connect(f.Picture5, &PictureBox::mouseDown, this, seeked);
}

void PlayerInterface::announceChanges() {
  announcePending_ = false;
  const QVariantMap now = announcedProperties();
  QVariantMap changed;
  for (auto it = now.begin(); it != now.end(); ++it) {
    if (announced_.value(it.key()) != it.value()) changed.insert(it.key(), it.value());
  }
  announced_ = now;
  if (changed.isEmpty()) return;
  QDBusMessage signal =
      QDBusMessage::createSignal(kObjectPath, "org.freedesktop.DBus.Properties", "PropertiesChanged");
  signal << kPlayerInterface << changed << QStringList();
  QDBusConnection::sessionBus().send(signal);
}

MediaPlayerService::MediaPlayerService(App& app) : QObject(&app.form1()) {
  new RootInterface(this, app);
  new PlayerInterface(this, app);
}

}  // namespace

QString StartMediaPlayerService(App& app) {
  if (!QDBusConnection::sessionBus().isConnected()) return {};
  auto* service = new MediaPlayerService(app);
  const QString name = service->joinBus();
  if (name.isEmpty()) delete service;
  return name;
}

#include "mpris.moc"
