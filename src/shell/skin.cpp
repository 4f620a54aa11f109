#include "shell/skin.h"

#include "shaping/picture.h"
#include "shaping/region.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QPainter>
#include <QWidget>

#include <cstdint>
#include <utility>

#if !defined(CORVAN_SHARE_DIR) || !defined(CORVAN_SHARE_FROM_BIN)
#error "CORVAN_SHARE_DIR and CORVAN_SHARE_FROM_BIN must name the installed data folder"
#endif

namespace corvan {

namespace {

QString ShareDir()
{
    return QStringLiteral(CORVAN_SHARE_DIR);
}

// Paints the skin picture over the window's background colour and under its
// children, at the top-left corner and at the picture's own size. It rides on
// the window's paint event rather than on the palette: a palette brush would
// be inherited by every child that fills its background, and tiled.
class SkinBackground : public QObject {
public:
    SkinBackground(QWidget& form, QPixmap picture) : QObject(&form), form_(form), picture_(std::move(picture))
    {
        setObjectName(QStringLiteral("SkinBackground"));
        form.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &form_ && event->type() == QEvent::Paint) {
            QPainter painter(&form_);
            if (form_.testAttribute(Qt::WA_TranslucentBackground)) {
                // A window system that takes the mask for clicks alone shows
                // what is painted outside it: there the window stays clear,
                // and inside it the window's colour lies under the picture.
                painter.setCompositionMode(QPainter::CompositionMode_Source);
                painter.fillRect(form_.rect(), Qt::transparent);
                painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
                if (!form_.mask().isEmpty())
                    painter.setClipRegion(form_.mask());
                painter.fillRect(form_.rect(), form_.palette().color(QPalette::Window));
            }
            painter.drawPixmap(0, 0, picture_);
        }
        return false;
    }

private:
    QWidget& form_;
    QPixmap picture_;
};

}  // namespace

QStringList AssetFolders()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    return {programDir, QDir::cleanPath(programDir + QStringLiteral("/" CORVAN_SHARE_FROM_BIN)), ShareDir()};
}

std::optional<QString> FindAsset(const QString& relativePath, const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(relativePath);
        if (QFileInfo(path).isFile())
            return path;
    }
    return std::nullopt;
}

std::optional<QString> FindSkinPicture()
{
    return FindAsset(QString::fromUtf16(kSkinPictureName));
}

bool DressInSkin(QWidget& form, QString* error)
{
    const std::optional<QString> path = FindSkinPicture();
    if (!path) {
        if (error)
            *error = QStringLiteral("The skin picture \"%1\" was not found in %2.")
                         .arg(QString::fromUtf16(kSkinPictureName), AssetFolders().join(QStringLiteral(" or in ")));
        return false;
    }
    return DressInSkin(form, *path, error);
}

bool DressInSkin(QWidget& form, const QString& picturePath, QString* error)
{
    QString reason;
    const std::optional<QImage> picture = LoadPicture(picturePath, &reason);
    if (!picture) {
        if (error)
            *error = QStringLiteral("The skin picture \"%1\" cannot be read: %2.")
                         .arg(QDir::toNativeSeparators(picturePath), reason);
        return false;
    }

    Region region;
    std::int32_t transColor = kBottomLeftKey;
    region.ScanPicture(*picture, transColor);
    region.OffsetHeader(form);

    delete form.findChild<SkinBackground*>(QStringLiteral("SkinBackground"), Qt::FindDirectChildrenOnly);
    new SkinBackground(form, QPixmap::fromImage(*picture));

    region.ApplyRgn(&form);
    return true;
}

std::optional<QPixmap> LoadButtonPicture(const QString& controlName, const QStringList& folders)
{
    const std::optional<QString> path = FindAsset(QStringLiteral("buttons/%1.gif").arg(controlName), folders);
    if (!path)
        return std::nullopt;
    const std::optional<QImage> picture = LoadPicture(*path);
    if (!picture)
        return std::nullopt;
    return QPixmap::fromImage(*picture);
}

}  // namespace corvan
