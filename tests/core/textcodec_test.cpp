#include "core/textcodec.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>

namespace {

TEST(TextCodec, StoresCp932WhenItReadsBackUnchangedElseUtf8) {
  const QString japanese = QString::fromUtf8("全てのジャンル");
  EXPECT_EQ(textcodec::encode(japanese),
            QByteArray("\x91\x53\x82\xc4\x82\xcc\x83\x57\x83\x83\x83\x93\x83\x8b"));
  const QString utf8Only[] = {
      QString::fromUtf8("曲 \xF0\x9F\x8E\xB5.mp3"),  // no CP932 form
      QString::fromUtf8("a\xE3\x80\x9C"
                        "b"),   // WAVE DASH: CP932 stores it as U+FF5E
      QString::fromUtf8("ﾃｽ"),  // CP932 C3 BD is also valid UTF-8
  };
  for (const QString& text : utf8Only) EXPECT_EQ(textcodec::encode(text), text.toUtf8());
  for (const QString& text : {japanese, utf8Only[0], utf8Only[1], utf8Only[2]})
    EXPECT_EQ(textcodec::decode(textcodec::encode(text)), text);
}

TEST(TextCodec, BadBytesBecomeReplacementCharactersAndTheRestSurvives) {
  // 85 40 is unassigned, FF is no character, 82 is cut short at the end.
  const QString text = textcodec::decode(
      "A\x85\x40"
      "B\xFF\x83\x65\x82");
  const QChar bad(0xFFFD);
  EXPECT_EQ(text, QString("A") + bad + "@B" + bad + QString::fromUtf8("テ") + bad);
  EXPECT_EQ(textcodec::decode("\xEF\xBB\xBF[x]"), QString("[x]"));
}

TEST(TextCodec, BytesShapedLikeUtf8ButForTheirLeadByteAreCp932) {
  // C0 and C1 would only start overlong UTF-8 forms; in CP932 they are half-width kana.
  const std::pair<QByteArray, const char*> cases[] = {
      {"\xC1\xAE", "ﾁｮ"},
      {"A\xC0\xAF", "Aﾀｯ"},
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_FALSE(textcodec::isUtf8(bytes)) << text;
    EXPECT_EQ(textcodec::decode(bytes), QString::fromUtf8(text));
  }
}

TEST(TextCodec, LargeCp932InputsDecodeExactlyAsIconvDoes) {
  // Large inputs take a table instead of iconv: mostly pairs, with ASCII, half-width kana,
  // unassigned pairs, stray bytes and a lead byte cut short at the end.
  std::mt19937 random(932);
  QByteArray bytes;
  while (bytes.size() < 300 * 1024) {
    const unsigned roll = random() % 10;
    if (roll < 5) {
      const unsigned lead = random() % 2 ? 0x81 + random() % 31 : 0xE0 + random() % 29;
      bytes += char(lead);
      bytes += char(random() % 256);
    } else if (roll < 8) {
      bytes += char(0x20 + random() % 0x5F);
    } else {
      bytes += char(random() % 256);
    }
  }
  bytes += '\x82';
  ASSERT_TRUE(textcodec::detail::cp932TableReady());
  const QString table = textcodec::fromCp932(bytes);
  EXPECT_EQ(table, textcodec::detail::fromCp932WithIconv(bytes));
  EXPECT_TRUE(table.contains(QChar(0xFFFD)));
}

}  // namespace
