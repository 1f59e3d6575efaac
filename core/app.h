// The running program's context: the two service interfaces, the program folder, the six
// windows (whose controls hold the program's state) and the few variables that are not
// controls. Every event procedure takes an App&.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

// The program's name: every message box's title, and the caption and title line without a
// track.
inline const QString kProgramTitle = QStringLiteral("Kestrune");

class Vbmp3;     // core/vbmp3binding.h: the decoder library's calls
class Platform;  // core/platform.h: dialogs, shell, clipboard, tray, ...
class Form1;     // main window
class Form2;     // Song List
class Form3;     // Properties
class Form4;     // equalizer
class Form5;     // tag editor
class Form6;     // About

class App {
 public:
  App(Vbmp3& vbmp3, Platform& platform, QString programFolder);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Vbmp3& vbmp3;
  Platform& platform;

  // Where a data file lives, e.g. file("Option.ini"). While the program folder can be
  // written (a portable copy, the build folder) every data file lives there. Otherwise the
  // settings live in $XDG_CONFIG_HOME/kestrune and the lists and presets in
  // $XDG_DATA_HOME/kestrune (~/.config and ~/.local/share by default), made when missing.
  QString file(const QString& name) const;
  // The folder of the lists and presets: the program folder or the user's data folder.
  const QString& dataFolder() const { return dataFolder_; }
  // The program folder: the program, libvbmp3.so and the help document.
  const QString& folder() const { return folder_; }

  // Each window is created, hidden, the first time code touches it, and lives until the
  // App goes; closing a secondary window only hides it.
  Form1& form1();
  Form2& form2();
  Form3& form3();
  Form4& form4();
  Form5& form5();
  Form6& form6();
  bool form3Created() const { return form3_ != nullptr; }
  bool form4Created() const { return form4_ != nullptr; }
  bool form5Created() const { return form5_ != nullptr; }
  bool form6Created() const { return form6_ != nullptr; }

  int32_t LastPlayPosition = 0;       // play position last seen by the elapsed-time change
  int16_t TrayState = 0;              // 0 at start, 1 icon added, 2 restored by a click
  std::array<int32_t, 10> EcoBand{};  // equalizer bands handed to the decoder
  bool mixerMissingReported = false;  // the volume control said once that no mixer exists

 private:
  QString folder_;
  QString configFolder_;
  QString dataFolder_;
  std::unique_ptr<Form1> form1_;
  std::unique_ptr<Form2> form2_;
  std::unique_ptr<Form3> form3_;
  std::unique_ptr<Form4> form4_;
  std::unique_ptr<Form5> form5_;
  std::unique_ptr<Form6> form6_;
};
