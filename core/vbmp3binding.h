// The decoder library's calls as the program uses them: one virtual method per library
// call, named after the call without its "vbmp3_" prefix. Paths are QStrings (handed to
// the library as UTF-8); records are the library's own C structs.
#pragma once

#include <vbmp3.h>

#include <QString>
#include <array>
#include <cstdint>
#include <future>
#include <memory>

using WaveBuffer = std::array<int32_t, 256>;
using EqualizerBands = std::array<int32_t, 10>;

class Vbmp3 {
 public:
  virtual ~Vbmp3() = default;

  virtual int16_t init() = 0;
  virtual void useAtMarkTag(int32_t on) = 0;
  virtual int16_t open(const QString& path, TrackInfo& info) = 0;
  virtual int16_t play() = 0;
  virtual int16_t stop() = 0;
  virtual int16_t pause() = 0;
  virtual int16_t restart() = 0;
  virtual int16_t free() = 0;
  virtual int16_t seek(int32_t seconds) = 0;
  virtual int32_t getState(int32_t& seconds) = 0;
  virtual int16_t getMpegInfo(MpegInfo& info) = 0;
  virtual int16_t setPitch(int32_t pitch) = 0;
  virtual int32_t getPitch() = 0;
  virtual int16_t setVolume(int32_t left, int32_t right) = 0;
  virtual int16_t getVolume(int32_t& left, int32_t& right) = 0;
  virtual int16_t setFadeIn(int32_t on) = 0;
  virtual int16_t setFadeOut(int32_t on) = 0;
  virtual int16_t setEqualizer(const EqualizerBands& bands) = 0;
  virtual int16_t reload() = 0;
  virtual int16_t getWave(WaveBuffer& left, WaveBuffer& right) = 0;
  virtual int16_t getGenre(GenreInfo& info) = 0;
  virtual int16_t getFileTagInfoEX(const QString& path, TagInfo& tag) = 0;
  virtual int16_t setTagInfoEX(const QString& path, const TagInfo& tag, int32_t v2, int32_t v1) = 0;
  virtual int16_t encodeOpen(const QString& wavPath, EncodeInfo& info) = 0;
  virtual int16_t encodeStart(const QString& mp3Path) = 0;
  virtual int16_t encodeStop() = 0;
  virtual int32_t getEncodeState() = 0;
  virtual int16_t decodeWave(const QString& wavPath) = 0;
  virtual int16_t playDecodeWave(const QString& wavPath) = 0;
  virtual int32_t getConversionProgress(int32_t& perMille) = 0;
  virtual int32_t getVersion() = 0;
  virtual int32_t getOutput() = 0;
};

// The library's file name; the program looks for it in its own folder.
inline const QString kLibraryFileName = QStringLiteral("libvbmp3.so");

// The production binding: libvbmp3.so, opened by its path with dlopen and bound at the
// first call. Opening it (with the many libraries it pulls in) takes a while, so it starts
// on a background thread as soon as the binding is constructed, and the first call waits
// for it. When the library cannot be opened every call answers 0 (init included) and does
// nothing; a symbol the library lacks makes just that call answer 0.
class LibraryVbmp3 final : public Vbmp3 {
 public:
  explicit LibraryVbmp3(const QString& libraryPath);
  ~LibraryVbmp3() override;

  int16_t init() override;
  void useAtMarkTag(int32_t on) override;
  int16_t open(const QString& path, TrackInfo& info) override;
  int16_t play() override;
  int16_t stop() override;
  int16_t pause() override;
  int16_t restart() override;
  int16_t free() override;
  int16_t seek(int32_t seconds) override;
  int32_t getState(int32_t& seconds) override;
  int16_t getMpegInfo(MpegInfo& info) override;
  int16_t setPitch(int32_t pitch) override;
  int32_t getPitch() override;
  int16_t setVolume(int32_t left, int32_t right) override;
  int16_t getVolume(int32_t& left, int32_t& right) override;
  int16_t setFadeIn(int32_t on) override;
  int16_t setFadeOut(int32_t on) override;
  int16_t setEqualizer(const EqualizerBands& bands) override;
  int16_t reload() override;
  int16_t getWave(WaveBuffer& left, WaveBuffer& right) override;
  int16_t getGenre(GenreInfo& info) override;
  int16_t getFileTagInfoEX(const QString& path, TagInfo& tag) override;
  int16_t setTagInfoEX(const QString& path, const TagInfo& tag, int32_t v2, int32_t v1) override;
  int16_t encodeOpen(const QString& wavPath, EncodeInfo& info) override;
  int16_t encodeStart(const QString& mp3Path) override;
  int16_t encodeStop() override;
  int32_t getEncodeState() override;
  int16_t decodeWave(const QString& wavPath) override;
  int16_t playDecodeWave(const QString& wavPath) override;
  int32_t getConversionProgress(int32_t& perMille) override;
  int32_t getVersion() override;
  int32_t getOutput() override;

  // True once the library file has been opened (binds it first if needed).
  bool loaded();

 private:
  struct Binding;
  const Binding& bound();

  std::future<void*> opening_;  // the dlopen handle, until the first call takes it
  std::unique_ptr<Binding> binding_;
};
