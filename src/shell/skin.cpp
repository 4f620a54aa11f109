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

// The program's folder, also before the application object exists (the
// skin is read while it is made).
QString ProgramFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

QStringList AssetFolders()
{
    const QString programDir = ProgramFolder();
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

Skin::Skin(QString file, QImage image, std::unique_ptr<Region> region)
    : path(std::move(file)), picture(std::move(image)), outline(std::move(region))
{
}
Skin::Skin(Skin&&) noexcept = default;
Skin& Skin::operator=(Skin&&) noexcept = default;
Skin::~Skin() = default;

std::optional<Skin> ReadSkin(const QStringList& folders, QString* error)
{
    const std::optional<QString> path = FindAsset(QString::fromUtf16(kSkinPictureName), folders);
    if (!path) {
        if (error)
            *error = QStringLiteral("The skin picture \"%1\" was not found in %2.")
                         .arg(QString::fromUtf16(kSkinPictureName), folders.join(QStringLiteral(" or in ")));
        return std::nullopt;
    }
    return ReadSkin(*path, error);
}

std::optional<Skin> ReadSkin(const QString& picturePath, QString* error)
{
    QString reason;
    std::optional<QImage> picture = LoadPicture(picturePath, &reason);
    if (!picture) {
        if (error)
            *error = QStringLiteral("The skin picture \"%1\" cannot be read: %2.")
                         .arg(QDir::toNativeSeparators(picturePath), reason);
        return std::nullopt;
    }
    Skin skin{picturePath, {}, std::make_unique<Region>()};
    std::int32_t transColor = kBottomLeftKey;
    skin.outline->ScanPicture(*picture, transColor);
    // Drawn as it is stored on the screen, so that each paint only copies.
    skin.picture = picture->convertToFormat(picture->hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                       : QImage::Format_RGB32);
    return skin;
}

void WearSkin(QWidget& form, Skin& skin)
{
    skin.outline->OffsetHeader(form);
    delete form.findChild<SkinBackground*>(QStringLiteral("SkinBackground"), Qt::FindDirectChildrenOnly);
    new SkinBackground(form, QPixmap::fromImage(skin.picture));
    skin.outline->ApplyRgn(&form);
}

namespace {

bool Dress(QWidget& form, std::optional<Skin> skin)
{
    if (!skin)
        return false;
    WearSkin(form, *skin);
    return true;
}

}  // namespace

bool DressInSkin(QWidget& form, QString* error)
{
    return Dress(form, ReadSkin(AssetFolders(), error));
}

bool DressInSkin(QWidget& form, const QString& picturePath, QString* error)
{
    return Dress(form, ReadSkin(picturePath, error));
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
