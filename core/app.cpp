#include "core/app.h"

#include <unistd.h>

#include <QDir>
#include <QFile>

#include "core/settings.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form4.h"
#include "ui/form5.h"
#include "ui/form6.h"

// The windows' pictures are compiled into the program's static library; this makes sure
// they are linked and registered before the first window is built.
static void registerPictures() { Q_INIT_RESOURCE(resources); }

// access() rather than a test file: nothing is left behind, and a read-only mount says
// EROFS even to root.
static bool writable(const QString& folder) {
  return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

// The program's folder under $variable, or under ~/fallback when the variable is unset or
// not an absolute path, as the XDG base directories are defined.
static QString userFolder(const char* variable, const char* fallback) {
  const QString base = qEnvironmentVariable(variable);
  return QDir::cleanPath((QDir::isAbsolutePath(base) ? base : QDir::homePath() + '/' + fallback) +
                         "/kestrune");
}

App::App(Vbmp3& vbmp3, Platform& platform, QString programFolder)
    : vbmp3(vbmp3), platform(platform), folder_(std::move(programFolder)) {
  while (folder_.size() > 1 && folder_.endsWith('/')) folder_.chop(1);
  if (writable(folder_)) {
    configFolder_ = dataFolder_ = folder_;
  } else {
    // A folder that cannot be made shows later, when start-up cannot create its files.
    configFolder_ = userFolder("XDG_CONFIG_HOME", ".config");
    dataFolder_ = userFolder("XDG_DATA_HOME", ".local/share");
    QDir().mkpath(configFolder_);
    QDir().mkpath(dataFolder_);
  }
  registerPictures();
}

// The secondary windows belong to the main window, so they go first.
App::~App() {
  form6_.reset();
  form5_.reset();
  form4_.reset();
  form3_.reset();
  form2_.reset();
  form1_.reset();
}

QString App::file(const QString& name) const {
  return (name == kSettingsFile ? configFolder_ : dataFolder_) + '/' + name;
}

// A window with a load procedure runs it once the window is reachable through the App, so
// the procedure may reach the window's controls as every procedure does.
template <typename Form>
static Form& created(std::unique_ptr<Form>& slot, App& app) {
  if (!slot) {
    slot = std::make_unique<Form>(app);
    if constexpr (requires { slot->load(); }) slot->load();
  }
  return *slot;
}

Form1& App::form1() { return created(form1_, *this); }
Form2& App::form2() { return created(form2_, *this); }
Form3& App::form3() { return created(form3_, *this); }
Form4& App::form4() { return created(form4_, *this); }
Form5& App::form5() { return created(form5_, *this); }
Form6& App::form6() { return created(form6_, *this); }
