#include "core/textcodec.h"

#include <gtest/gtest.h>

namespace {

const QString kJapanese = QString::fromUtf8("全てのジャンル");
const QByteArray kJapaneseCp932("\x91\x53\x82\xc4\x82\xcc\x83\x57\x83\x83\x83\x93\x83\x8b");

TEST(TextCodec, JapaneseIsStoredAsCp932AndReadBack) {
  EXPECT_EQ(textcodec::encode(kJapanese), kJapaneseCp932);
  EXPECT_EQ(textcodec::decode(kJapaneseCp932), kJapanese);
  EXPECT_EQ(textcodec::encode("C:/M/A.mp3"), QByteArray("C:/M/A.mp3"));
}

TEST(TextCodec, TextWithoutCp932FormIsStoredAsUtf8) {
  const QString emoji = QString::fromUtf8("曲 \xF0\x9F\x8E\xB5.mp3");
  EXPECT_EQ(textcodec::encode(emoji), emoji.toUtf8());
  EXPECT_EQ(textcodec::decode(emoji.toUtf8()), emoji);
}

TEST(TextCodec, CharactersThatCp932WouldStoreAsAnotherOneForceUtf8) {
  // U+301C WAVE DASH has no code of its own: CP932 gives it the code of U+FF5E.
  const QString waveDash = QString::fromUtf8(
      "a\xE3\x80\x9C"
      "b");
  EXPECT_FALSE(textcodec::toCp932(waveDash).has_value());
  EXPECT_EQ(textcodec::decode(textcodec::encode(waveDash)), waveDash);
}

TEST(TextCodec, Cp932BytesThatLookLikeUtf8AreWrittenAsUtf8) {
  // Half-width katakana "ﾃｽ" is C3 BD in CP932, which is also valid UTF-8 ("ý").
  const QString katakana = QString::fromUtf8("ﾃｽ");
  ASSERT_EQ(*textcodec::toCp932(katakana), QByteArray("\xC3\xBD"));
  EXPECT_EQ(textcodec::decode(textcodec::encode(katakana)), katakana);
}

TEST(TextCodec, InvalidCp932BytesBecomeReplacementCharactersAndTheRestSurvives) {
  // 0x85 0x40 is an unassigned pair, 0xFF is no character, 0x82 is cut short at the end.
  const QByteArray bytes = QByteArray(
                               "A\x85\x40"
                               "B\xFF") +
                           kJapaneseCp932 + "\x82";
  const QString text = textcodec::decode(bytes);
  EXPECT_TRUE(text.startsWith(u'A'));
  EXPECT_TRUE(text.contains(u'B'));
  EXPECT_TRUE(text.contains(kJapanese));
  EXPECT_TRUE(text.endsWith(QChar(0xFFFD)));
}

TEST(TextCodec, Utf8ValidityRejectsOverlongsAndSurrogates) {
  EXPECT_TRUE(textcodec::isUtf8("plain"));
  EXPECT_TRUE(textcodec::isUtf8(kJapanese.toUtf8()));
  EXPECT_FALSE(textcodec::isUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(textcodec::isUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(textcodec::isUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(textcodec::isUtf8("\xE3\x81"));          // cut short
}

TEST(TextCodec, ByteOrderMarkIsNotText) { EXPECT_EQ(textcodec::decode("\xEF\xBB\xBF[x]"), QString("[x]")); }

}  // namespace
