// The pictures the forms name: compiled in at their size and at twice it, read through the
// forms' own pixmap function without any image decoder.
#include "ui/pictures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>

#include "ui/programstyle.h"

namespace {

QString formText(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return QString::fromUtf8(file.readAll());
}

TEST(Pictures, EveryPictureTheFormsNameIsCompiledInAtBothSizes) {
  const QDir forms(qEnvironmentVariable("KESTRUNE_SOURCE_DIR") + "/resources");
  const QRegularExpression pictureName(":/icons/[^<]+");
  int pictures = 0;
  for (const QString& form : forms.entryList({"Form*.ui"})) {
    const QString text = formText(forms.filePath(form));
    if (!text.contains(pictureName)) continue;
    EXPECT_TRUE(text.contains("<pixmapfunction>formPicture</pixmapfunction>")) << form.toStdString();
    for (const QRegularExpressionMatch& match : pictureName.globalMatch(text)) {
      const QString path = match.captured();
      SCOPED_TRACE(path.toStdString());
      ++pictures;
      const QPixmap picture = formPicture(path.toUtf8().constData());
      ASSERT_FALSE(picture.isNull());
      QString doubleSize = path;
      doubleSize.insert(path.lastIndexOf('.'), "@2x");
      EXPECT_EQ(pictureImage(doubleSize).size(), picture.size() * 2);
    }
  }
  EXPECT_GE(pictures, 19);  // the main window's 18 and the about box's one
}

TEST(Pictures, MissingOrDamagedPictureIsNull) {
  EXPECT_TRUE(formPicture(":/icons/no_such_picture.argb").isNull());
  // A PNG is not raw pixels: its first eight bytes make no sensible size.
  EXPECT_TRUE(pictureImage(":/qt-project.org/qmessagebox/images/qtlogo-64.png").isNull());
}

TEST(Pictures, BackgroundStaysTransparent) {
  const QImage play = formPicture(":/icons/play.argb").toImage();
  EXPECT_EQ(qAlpha(play.pixel(0, 0)), 0);
  EXPECT_GT(qAlpha(play.pixel(8, 8)), 200);
}

}  // namespace

TEST(Pictures, MenuBarOverflowArrowIsOurs) {
  ProgramStyle style;
  const QIcon arrow = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
  ASSERT_FALSE(arrow.isNull());
  EXPECT_EQ(arrow.availableSizes().value(0), QSize(16, 16));
  EXPECT_FALSE(style.standardIcon(QStyle::SP_MessageBoxQuestion).isNull());  // the rest is Qt's
}
