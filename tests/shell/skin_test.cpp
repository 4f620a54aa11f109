// Dressing a window in the skin picture, on the offscreen platform.
#include "shell/skin.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

namespace corvan {
namespace {

const QString kAssets = QStringLiteral(CORVAN_ASSETS_DIR);
const QString kSkin = QStringLiteral(CORVAN_ASSETS_DIR "/new2.gif");

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(Skin, MissingOrUnreadablePictureIsAnErrorNamingTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString garbage = dir.filePath(QStringLiteral("new2.gif"));
    ASSERT_TRUE(WriteFile(garbage, QByteArrayLiteral("not a picture at all")));
    QFile skin(kSkin);
    ASSERT_TRUE(skin.open(QIODevice::ReadOnly));
    const QString cutOff = dir.filePath(QStringLiteral("cut.gif"));
    ASSERT_TRUE(WriteFile(cutOff, skin.readAll().left(3000)));

    for (const QString& path : {dir.filePath(QStringLiteral("missing.gif")), garbage, cutOff, dir.path()}) {
        QWidget form(nullptr, Qt::FramelessWindowHint);
        QString error;
        EXPECT_FALSE(DressInSkin(form, path, &error)) << path.toStdString();
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_TRUE(form.mask().isEmpty()) << "the window is left as it was";
        EXPECT_TRUE(form.children().isEmpty());
    }
}

TEST(Skin, WindowWearsThePictureAtItsOwnSizeAndTakesItsOutline)
{
    const QImage picture(kSkin);
    ASSERT_FALSE(picture.isNull());
    QWidget form(nullptr, Qt::FramelessWindowHint);
    form.resize(picture.width() + 60, picture.height() + 60);
    QPalette grey = form.palette();
    grey.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    form.setPalette(grey);
    form.setAutoFillBackground(true);
    auto* child = new QWidget(&form);
    child->setGeometry(100, 100, 10, 10);
    QPalette red = child->palette();
    red.setColor(QPalette::Window, Qt::red);
    child->setPalette(red);
    child->setAutoFillBackground(true);

    QString error;
    ASSERT_TRUE(DressInSkin(form, kSkin, &error)) << error.toStdString();
    ASSERT_TRUE(DressInSkin(form, kSkin, &error)) << "dressing again replaces the picture";
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(form.children().size(), 2) << "the child and one picture painter";

    const QRegion mask = form.mask();
    EXPECT_TRUE(mask.contains(QPoint(200, 200)));
    EXPECT_TRUE(mask.contains(QPoint(348, 12))) << "minimize hot spot";
    EXPECT_TRUE(mask.contains(QPoint(380, 12))) << "close hot spot";
    EXPECT_FALSE(mask.contains(QPoint(0, picture.height() - 1))) << "the key colour is cut away";
    EXPECT_FALSE(mask.contains(QPoint(picture.width() + 10, 10))) << "nothing beyond the picture";

    form.clearMask();  // to see everything that is painted
    const QImage shown = form.grab().toImage();
    EXPECT_EQ(shown.pixel(200, 10), picture.pixel(200, 10));
    EXPECT_EQ(shown.pixel(20, 300), picture.pixel(20, 300));
    EXPECT_EQ(shown.pixel(105, 105), qRgb(255, 0, 0)) << "children are drawn over the picture";
    EXPECT_EQ(shown.pixel(picture.width() + 10, 10), qRgb(0x80, 0x80, 0x80)) << "neither tiled nor stretched";
    EXPECT_EQ(shown.pixel(10, picture.height() + 10), qRgb(0x80, 0x80, 0x80)) << "neither tiled nor stretched";
}

TEST(Skin, EveryButtonPictureHasItsSize)
{
    const struct {
        const char* name;
        int width;
        int height;
    } buttons[] = {
        {"Command22", 22, 17}, {"Command12", 22, 17}, {"Command13", 22, 17}, {"Command14", 22, 17},
        {"Command15", 22, 17}, {"Command16", 22, 15}, {"Command19", 22, 17}, {"Command20", 22, 17},
        {"Command11", 22, 17}, {"Command23", 22, 17}, {"Command9", 22, 17},  {"Command10", 22, 17},
        {"Command21", 22, 17}, {"Command17", 46, 13}, {"Command18", 27, 13},
    };
    for (const auto& b : buttons) {
        const QString name = QLatin1String(b.name);
        const std::optional<ButtonPicture> picture = LoadButtonIcon(name, {kAssets});
        ASSERT_TRUE(picture) << b.name;
        const QSize size(b.width, b.height);
        EXPECT_EQ(picture->size, size) << b.name;
        const QImage plain(kAssets + QStringLiteral("/buttons/%1.gif").arg(name));
        EXPECT_EQ(picture->icon.pixmap(size, 1.0).toImage().convertToFormat(QImage::Format_RGB32),
                  plain.convertToFormat(QImage::Format_RGB32))
            << b.name;
        // On a screen of twice the density the picture drawn at twice the
        // size is shown, not the small one enlarged.
        const QPixmap dense = picture->icon.pixmap(size, 2.0);
        EXPECT_EQ(dense.size(), size * 2) << b.name;
        EXPECT_EQ(dense.devicePixelRatio(), 2.0) << b.name;
        const QImage drawn(kAssets + QStringLiteral("/buttons/%1@2x.png").arg(name));
        EXPECT_EQ(dense.toImage().convertToFormat(QImage::Format_RGB32), drawn.convertToFormat(QImage::Format_RGB32))
            << b.name;
        const QPixmap between = picture->icon.pixmap(size, 1.5);
        EXPECT_EQ(between.deviceIndependentSize().toSize(), size) << b.name << " takes its own room at 1.5";
    }
    EXPECT_FALSE(LoadButtonIcon(QStringLiteral("Command99"), {kAssets}));
}

TEST(Skin, ADenseButtonPictureOfTheWrongSizeIsNotUsed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("buttons")));
    ASSERT_TRUE(QFile::copy(kAssets + QStringLiteral("/buttons/Command9.gif"),
                            dir.filePath(QStringLiteral("buttons/Command9.gif"))));
    const std::optional<ButtonPicture> alone = LoadButtonIcon(QStringLiteral("Command9"), {dir.path()});
    ASSERT_TRUE(alone);
    EXPECT_FALSE(alone->icon.pixmap(alone->size, 2.0).isNull()) << "without a dense picture the plain one serves";

    QImage wrong(10, 10, QImage::Format_RGB32);
    wrong.fill(Qt::red);
    ASSERT_TRUE(wrong.save(dir.filePath(QStringLiteral("buttons/Command9@2x.png"))));
    const std::optional<ButtonPicture> picture = LoadButtonIcon(QStringLiteral("Command9"), {dir.path()});
    ASSERT_TRUE(picture);
    const QImage shown = picture->icon.pixmap(picture->size, 2.0).toImage();
    EXPECT_NE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::red));
}

TEST(Skin, AssetsComeFromTheFirstFolderThatHasThem)
{
    QTemporaryDir first;
    ASSERT_TRUE(first.isValid());
    const QString nowhere = first.filePath(QStringLiteral("none"));
    ASSERT_TRUE(WriteFile(first.filePath(QStringLiteral("new2.gif")), QByteArrayLiteral("x")));

    EXPECT_EQ(FindAsset(QStringLiteral("new2.gif"), {nowhere, first.path(), kAssets}),
              first.filePath(QStringLiteral("new2.gif")));
    EXPECT_EQ(FindAsset(QStringLiteral("buttons/Command9.gif"), {first.path(), kAssets}),
              kAssets + QStringLiteral("/buttons/Command9.gif"));
    EXPECT_FALSE(FindAsset(QStringLiteral("buttons"), {kAssets})) << "a folder is not a picture";
    EXPECT_FALSE(FindAsset(QStringLiteral("new2.gif"), {nowhere}));
}

}  // namespace
}  // namespace corvan
