// libvbmp3: decoding, playback, encoding and tag access for Kestrune.
// C ABI. Integers are int32_t, flag results int16_t: 1 = done, 0 = failure.
// Text in records and paths is UTF-8; fixed text fields are NUL-padded.
//
// Threads: every call may be made from any thread, also while a track plays and a conversion
// runs; the library serialises what must not overlap. Playback, encoding and decoding run on
// the library's own threads, so a call returns within milliseconds. The exceptions wait for
// files or threads: vbmp3_open (reads an MP3 through once to learn its exact length), the tag
// calls, the first vbmp3_play of a process (loads SDL2 and opens the output device),
// vbmp3_encodeOpen and vbmp3_encodeStop (wait for a running conversion to finish its current
// block) and vbmp3_free (that too, and it closes the output device).
//
// Failures: no call throws or aborts. A call that cannot do its work, for any reason (a bad
// argument, a missing file, no memory, a thread that cannot start), returns 0 and leaves
// output records zeroed where said below. Pointer arguments may be NULL where said.
#ifndef VBMP3_H
#define VBMP3_H

#include <stddef.h>
#include <stdint.h>

#if defined(VBMP3_BUILDING)
#define VBMP3_API __attribute__((visibility("default")))
#else
#define VBMP3_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 4)

typedef struct TrackInfo {
  char trackName[128]; /* not read by the program */
  char artist[128];
  int32_t reserved;     /* not read by the program */
  int32_t bitRate;      /* average, kbit/s */
  int32_t samplingRate; /* Hz */
  int32_t length;       /* whole seconds */
} TrackInfo;

typedef struct TagInfo {
  char title[128];
  char artist[128];
  char album[128];
  char year[5];
  char comment[128];
  int32_t genre;
  char genreName[128];
  int32_t reserved;
} TagInfo;

typedef struct GenreInfo {
  char title[128];
  char artist[128];
  char album[128];
  char year[5];
  char comment[128];
  int32_t genre;
  char genreName[128];
} GenreInfo;

typedef struct EncodeInfo {
  int32_t samplingRate;
  int32_t channels;
  int32_t bitsPerSample;
  int32_t seconds;
} EncodeInfo;

typedef struct MpegInfo {
  int32_t version; /* 1 = MPEG-1, 2 = MPEG-2, 3 = MPEG-2.5; 0 for WAV */
  int32_t layer;   /* 1..3; 0 for WAV */
  int32_t bitRate; /* kbit/s, average */
  int32_t samplingRate;
  int32_t channels;
  int32_t frames; /* MPEG frames; sample frames for WAV */
} MpegInfo;

#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(TrackInfo) == 272, "TrackInfo layout");
static_assert(offsetof(TrackInfo, artist) == 128, "TrackInfo layout");
static_assert(offsetof(TrackInfo, reserved) == 256, "TrackInfo layout");
static_assert(offsetof(TrackInfo, bitRate) == 260, "TrackInfo layout");
static_assert(offsetof(TrackInfo, samplingRate) == 264, "TrackInfo layout");
static_assert(offsetof(TrackInfo, length) == 268, "TrackInfo layout");
static_assert(sizeof(TagInfo) == 656, "TagInfo layout");
static_assert(offsetof(TagInfo, artist) == 128, "TagInfo layout");
static_assert(offsetof(TagInfo, album) == 256, "TagInfo layout");
static_assert(offsetof(TagInfo, year) == 384, "TagInfo layout");
static_assert(offsetof(TagInfo, comment) == 389, "TagInfo layout");
static_assert(offsetof(TagInfo, genre) == 520, "TagInfo layout");
static_assert(offsetof(TagInfo, genreName) == 524, "TagInfo layout");
static_assert(offsetof(TagInfo, reserved) == 652, "TagInfo layout");
static_assert(sizeof(GenreInfo) == 652, "GenreInfo layout");
static_assert(offsetof(GenreInfo, genre) == 520, "GenreInfo layout");
static_assert(offsetof(GenreInfo, genreName) == 524, "GenreInfo layout");
static_assert(sizeof(EncodeInfo) == 16, "EncodeInfo layout");
#endif

/* Results of vbmp3_getState. */
enum { VBMP3_STATE_STOPPED = 0, VBMP3_STATE_PLAYING = 1, VBMP3_STATE_PAUSED = 2 };
/* Results of vbmp3_getEncodeState. */
enum { VBMP3_ENCODE_IDLE = 0, VBMP3_ENCODE_RUNNING = 1 };
/* Results of vbmp3_getConversionProgress. */
enum {
  VBMP3_CONVERSION_NONE = 0,    /* none since the last start that failed, or ever */
  VBMP3_CONVERSION_RUNNING = 1, /* as long as vbmp3_getEncodeState says running */
  VBMP3_CONVERSION_DONE = 2,    /* the whole output was written */
  VBMP3_CONVERSION_STOPPED = 3, /* ended early by a stop (or a call that stops it): a valid, shorter file */
  VBMP3_CONVERSION_FAILED = 4 /* the output could not be written whole (a full disk, a read error): no file */
};
/* Results of vbmp3_getOutput. */
enum { VBMP3_OUTPUT_NONE = 0, VBMP3_OUTPUT_DEVICE = 1, VBMP3_OUTPUT_SILENT = 2 };
/* Arguments of vbmp3_setFadeIn and vbmp3_setFadeOut (any other non-zero value counts as on). */
enum { VBMP3_FADE_OFF = 0, VBMP3_FADE_ON = -1 };

/* Always 1. Nothing needs it first; calling it again is harmless. */
VBMP3_API int16_t vbmp3_init(void);
/* Accepted; has no effect. */
VBMP3_API void vbmp3_useAtMarkTag(int32_t on);

/* Playback of one open track.
 * open: closes (and so stops) whatever was open, then opens the file at path, stopped at 0 s.
 *   info (may be NULL) is zeroed, then receives the file name without folder and extension,
 *   the tag's artist, the average bit rate, the rate and the length.
 *   Opens MPEG audio (MPEG-1, 2 and 2.5, layers I-III, free format included) and PCM in a
 *   RIFF, RF64 or Wave64 WAV container; the file's bytes decide, not its name.
 *   MPEG needs several consecutive frames that agree in version, layer and sampling rate, or
 *   every frame of a shorter file, within 64 KiB after any ID3v2 tags. An ID3v2 tag declared
 *   to run past the end of the file counts as its 10-byte header alone, so the frames behind
 *   what it really holds play. FLAC, Ogg (FLAC, Vorbis, Speex, Opus), Matroska/WebM, MP4,
 *   AIFF, AU and other containers are refused even when their contents look like MPEG
 *   frames, also behind an ID3v2 tag.
 *   A stream whose channel count or sampling rate changes part-way (streams joined end to
 *   end) plays and decodes to its end in the format of its first frame: channels are mixed
 *   or doubled, other rates resampled; length counts every part. Damaged stretches decode as
 *   the mpg123 tool decodes them. Seeking into a part after such a change lands within one
 *   MPEG frame of the target.
 *   bitRate is the average over the audio frames (tags and the Xing/LAME frame left out);
 *   for PCM, rate x bits x channels. PCM wider than 16 bits is rounded to 16.
 *   0, with info zeroed and nothing open, for a NULL path, a missing, unreadable or
 *   non-regular file, any other format, and a WAV whose data chunk declares no samples.
 * play: stopped -> plays from 0 s; paused -> resumes where it paused; playing -> no change.
 *   0 when nothing is open or the output cannot start (the track then stays stopped).
 * stop: stops and returns to 0 s. 0 when nothing is open.
 * pause: 1 when playing (it pauses) or already paused, 0 otherwise.
 * restart: resumes a paused track; 0 unless paused.
 * seek: moves a playing or paused track to `seconds` (clamped to 0..length); getState shows the
 *   target at once. 0 when nothing is open or the track is stopped (also after it ended).
 * getState: VBMP3_STATE_*; VBMP3_STATE_STOPPED when nothing is open. seconds (may be NULL)
 *   receives whole seconds of track time: 0 when nothing is open or after stop, the track's end
 *   after it played to its end, until the next play, stop or open.
 * getMpegInfo: the open track's format. 0, with out zeroed, when nothing is open or out is NULL.
 * free: ends a running conversion (its file stays valid, shorter), closes the track and the
 *   output device. Always 1; every call works again afterwards. */
VBMP3_API int16_t vbmp3_open(const char* path, TrackInfo* info);
VBMP3_API int16_t vbmp3_play(void);
VBMP3_API int16_t vbmp3_stop(void);
VBMP3_API int16_t vbmp3_pause(void);
VBMP3_API int16_t vbmp3_restart(void);
VBMP3_API int16_t vbmp3_free(void);
VBMP3_API int16_t vbmp3_seek(int32_t seconds);
VBMP3_API int32_t vbmp3_getState(int32_t* seconds);
VBMP3_API int16_t vbmp3_getMpegInfo(MpegInfo* out);

/* Settings, kept across tracks and applied at once to what plays. Setters return 1.
 * pitch: percent of normal speed, 60..200 (clamped), speed and pitch together; positions stay
 *   in track time. getPitch returns the setting.
 * volume: 0..100 per channel (clamped). getVolume: either pointer may be NULL.
 * fades: VBMP3_FADE_ON ramps up over the first 3 s after play (fade-in) or down over the last
 *   3 s of the track (fade-out); VBMP3_FADE_OFF does not.
 * setEqualizer: ten bands, 31 Hz to 16 kHz an octave apart, -128..128 (clamped) = -12..12 dB;
 *   all 0 leaves the sound untouched. Takes effect at the next play or reload. 0 for NULL.
 * reload: crossfades what plays to the bands last set. Always 1 (nothing to do when stopped).
 * getWave: the last 256 output frames per channel, full scale = +-100, all 0 unless playing.
 *   0 for a NULL pointer. */
VBMP3_API int16_t vbmp3_setPitch(int32_t pitch);
VBMP3_API int32_t vbmp3_getPitch(void);
VBMP3_API int16_t vbmp3_setVolume(int32_t left, int32_t right);
VBMP3_API int16_t vbmp3_getVolume(int32_t* left, int32_t* right);
VBMP3_API int16_t vbmp3_setFadeIn(int32_t on);
VBMP3_API int16_t vbmp3_setFadeOut(int32_t on);
VBMP3_API int16_t vbmp3_setEqualizer(const int32_t bands[10]);
VBMP3_API int16_t vbmp3_reload(void);
VBMP3_API int16_t vbmp3_getWave(int32_t left[256], int32_t right[256]);
/* Tags of MP3 files.
 * getGenre: genreName for genre from the ID3v1 genre table (0..191); for any other
 *   number an empty name and result 0.
 * getFileTagInfoEX: the file's ID3v2 tag (2.2, 2.3, 2.4), else its ID3v1 tag. Text is read
 *   by what it holds: single-byte text (ID3v1, ID3v2 Latin-1 frames) is taken as UTF-8 when
 *   it is valid UTF-8, else as CP932 when it is valid CP932, else as Latin-1; a Latin-1 frame
 *   that starts with a UTF-16 byte-order mark is read as UTF-16, and byte-order marks are
 *   dropped. year holds the run of digits the tag's date starts with when that run is 1 to
 *   4 digits long, and is empty otherwise ("2024-05-01" gives "2024", "Unknown" nothing).
 *   genre is the ID3v1 number; 255 when the tag has no genre or names one outside the
 *   table, whose name is then in genreName. Returns 0 with the record zeroed when the file
 *   has no tag, cannot be read, is not MPEG audio (WAV, FLAC, Ogg, Matroska, MP4 and the
 *   like included), or holds an ID3v2 tag that cannot be read whole (a frame of zero size,
 *   with an invalid id, or running past the tag's end; or the tag declared to run past the
 *   end of the file), since setTagInfoEX would refuse to rewrite it.
 * setTagInfoEX: v2 != 0 writes an ID3v2.3 tag (ASCII text as Latin-1, other text as
 *   UTF-16), v1 != 0 an ID3v1 tag (text as CP932; characters CP932 lacks become '?');
 *   a tag not chosen stays as it was. Trailing blanks of each field are dropped, the year
 *   keeps 4 characters; genre 0..254 is written as that number, anything else as no genre
 *   (a genre name that no number expresses is then kept). genreName and reserved are not
 *   read. Other frames of an existing ID3v2 tag are kept, the audio is never touched, and
 *   a tag left with no content at all is removed. The tagged file is written whole beside
 *   the old one, synced, and renamed onto it (a symbolic link's target is the file written;
 *   mode and owner are kept; other hard links keep the old bytes): a reader holding the
 *   file open, the track playing included, keeps reading the old bytes, and a crash leaves
 *   the old file or the new one. Returns 0, the file byte-identical, when
 *   it is missing, read-only, in a folder where no file can be created, larger than 2 GiB,
 *   or not MPEG audio (no other container's signature and several
 *   consecutive frames of one stream, or every frame of a shorter file), when v2 and v1 are
 *   both 0, or when v2 != 0 and the existing ID3v2 tag cannot be read whole (writing it
 *   back would drop the frames that could not be read); an ID3v1-only write leaves such a
 *   tag as it is, except that a file whose ID3v2 tag is declared to run past its end
 *   refuses that write too.
 * There is no call to delete a tag: writing a record with empty fields clears it. */
VBMP3_API int16_t vbmp3_getGenre(GenreInfo* info);
VBMP3_API int16_t vbmp3_getFileTagInfoEX(const char* path, TagInfo* tag);
VBMP3_API int16_t vbmp3_setTagInfoEX(const char* path, const TagInfo* tag, int32_t v2, int32_t v1);
/* Conversions, one at a time, on the library's own thread. The output is written under a
 * temporary name beside the target and renamed onto it when complete (or stopped early); a
 * conversion that fails leaves no file.
 * encodeOpen: ends a running conversion, then checks a PCM or float WAV (mono or stereo, at
 *   least one sample frame) for encoding and describes it in info (may be NULL). 0 when the
 *   path is NULL or the file is none of these.
 * encodeStart: encodes the WAV of the last successful encodeOpen to an MP3 (128 kbit/s CBR at
 *   the source's rate). 0 when there is none, a conversion runs, or the target cannot be
 *   created.
 * encodeStop: ends a running conversion, leaving a valid, shorter file; 1 when one ran.
 * getEncodeState: VBMP3_ENCODE_RUNNING while an encode or decode runs, else VBMP3_ENCODE_IDLE.
 * decodeWave: decodes the open track to a 16-bit PCM WAV. 0 when nothing is open, a
 *   conversion runs, the path is NULL or the target cannot be created.
 * playDecodeWave: decodeWave, then play; 0 when either fails (a started decode goes on).
 * getConversionProgress: how the current or last conversion stands (VBMP3_CONVERSION_*), and in
 *   *perMille (may be NULL) how far it got through its source, 0 to 1000 (1000 once done).
 *   encodeStart, decodeWave and playDecodeWave reset it to NONE unless a conversion runs, so
 *   after a start that failed it reads NONE; a stopped or failed one keeps the point reached. */
VBMP3_API int16_t vbmp3_encodeOpen(const char* wavPath, EncodeInfo* info);
VBMP3_API int16_t vbmp3_encodeStart(const char* mp3Path);
VBMP3_API int16_t vbmp3_encodeStop(void);
VBMP3_API int32_t vbmp3_getEncodeState(void);
VBMP3_API int16_t vbmp3_decodeWave(const char* wavPath);
VBMP3_API int16_t vbmp3_playDecodeWave(const char* wavPath);
VBMP3_API int32_t vbmp3_getConversionProgress(int32_t* perMille);
/* A positive number that grows with each release: 100. */
VBMP3_API int32_t vbmp3_getVersion(void);
/* Diagnostics: how many times since the library was loaded the output device asked for sound
 * while a track played (not paused, not at its end) and got some silence instead because
 * decoding was behind, the first moments after a play or a seek included. Only grows. */
VBMP3_API int32_t vbmp3_getUnderruns(void);
/* Where the sound goes: VBMP3_OUTPUT_NONE until a play opens the output (and again after
 * free), VBMP3_OUTPUT_DEVICE while a sound device takes it, VBMP3_OUTPUT_SILENT when no sound
 * device could be opened (or SDL_AUDIODRIVER asks for SDL's "dummy" driver): the dummy driver
 * then consumes the samples in real time, so positions and the end of a track behave as with
 * a device, but nothing is heard. Falling back to it also prints one line on stderr. */
VBMP3_API int32_t vbmp3_getOutput(void);

#ifdef __cplusplus
}
#endif

#endif
