#include "shell/skin.h"

#include "engine/program_files.h"

#include "shaping/picture.h"
#include "shaping/region.h"

#include "shell/shell_log.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIconEngine>
#include <QStyle>
#include <QStyleOption>
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
//
// On a screen of more than one device pixel per window pixel the picture
// drawn at twice the size stands in, read at the first paint that needs it
// and scaled once to the screen's density, so that it is copied pixel for
// pixel like the 1x picture.
class SkinBackground : public QObject {
public:
    SkinBackground(QWidget& form, QPixmap picture, QString densePath)
        : QObject(&form)
        , form_(form)
        , picture_(std::move(picture))
        , densePath_(std::move(densePath))
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
            painter.drawPixmap(0, 0, PictureFor(form_.devicePixelRatioF()));
        }
        return false;
    }

private:
    // The picture at a density between whole ones: the pixels the outline
    // crosses come out part see-through, and the window's colour would show
    // through them as a light seam; they take the colour of the edge instead.
    static QImage ScaledToEdge(const QImage& picture, const QSize& size)
    {
        QImage scaled = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < scaled.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(scaled.scanLine(y));
            for (int x = 0; x < scaled.width(); ++x) {
                if (qAlpha(line[x]) != 0)
                    line[x] |= 0xff000000u;
            }
        }
        return scaled;
    }

    const QPixmap& PictureFor(qreal density)
    {
        if (density <= 1.0 || densePath_.isEmpty())
            return picture_;
        if (!dense_) {
            QString reason;
            std::optional<QImage> picture = LoadPicture(densePath_, &reason);
            if (!picture || picture->size() != picture_.size() * 2) {
                qCWarning(lcShell).noquote()
                    << "The skin picture" << densePath_
                    << "is not used:" << (picture ? QStringLiteral("it is not twice the size of the skin") : reason);
                densePath_.clear();
                return picture_;
            }
            dense_ = std::move(*picture);
        }
        if (scaled_.isNull() || scaled_.devicePixelRatio() != density) {
            const QSize size = (QSizeF(picture_.size()) * density).toSize();
            scaled_ = QPixmap::fromImage(size == dense_->size() ? *dense_ : ScaledToEdge(*dense_, size));
            scaled_.setDevicePixelRatio(density);
        }
        return scaled_;
    }

    QWidget& form_;
    QPixmap picture_;
    QString densePath_;
    std::optional<QImage> dense_;
    QPixmap scaled_;
};

}  // namespace

QStringList AssetFolders()
{
    const QString programDir = ProgramFolder();
    return {programDir, QDir::cleanPath(programDir + QStringLiteral("/" CORVAN_SHARE_FROM_BIN)), ShareDir()};
}

std::optional<QString> FindAsset(const QString& relativePath, const QStringList& folders)
{
    return FindFile(relativePath, folders);
}

std::optional<QString> DenseCompanion(const QString& picturePath)
{
    const QFileInfo picture(picturePath);
    const QString dense = picture.dir().filePath(picture.completeBaseName() + QStringLiteral("@2x.png"));
    if (!QFileInfo(dense).isFile())
        return std::nullopt;
    return dense;
}

std::optional<QString> FindSkinPicture()
{
    return FindAsset(QString::fromUtf16(kSkinPictureName));
}

Skin::Skin(QString file, QImage image, std::unique_ptr<Region> region)
    : path(std::move(file))
    , picture(std::move(image))
    , outline(std::move(region))
{
}
Skin::Skin(Skin&&) noexcept = default;
Skin& Skin::operator=(Skin&&) noexcept = default;
Skin::~Skin() = default;

std::optional<Skin> ReadSkin(const QStringList& folders, QString* error)
{
    const std::optional<QString> path = FindAsset(QString::fromUtf16(kSkinPictureName), folders);
    if (!path) {
        const QString why = QStringLiteral("The skin picture \"%1\" was not found in %2.")
                                .arg(QString::fromUtf16(kSkinPictureName), folders.join(QStringLiteral(" or in ")));
        qCWarning(lcShell).noquote() << why;
        if (error)
            *error = why;
        return std::nullopt;
    }
    return ReadSkin(*path, error);
}

std::optional<Skin> ReadSkin(const QString& picturePath, QString* error)
{
    QString reason;
    std::optional<QImage> picture = LoadPicture(picturePath, &reason);
    if (!picture) {
        const QString why = QStringLiteral("The skin picture \"%1\" cannot be read: %2.")
                                .arg(QDir::toNativeSeparators(picturePath), reason);
        qCWarning(lcShell).noquote() << why;
        if (error)
            *error = why;
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
    new SkinBackground(form, QPixmap::fromImage(skin.picture), DenseCompanion(skin.path).value_or(QString()));
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

namespace {

// A button's picture at its own size and, on a denser screen, the one drawn
// at twice the size, read the first time it is asked for.
class ButtonPictureEngine : public QIconEngine {
public:
    ButtonPictureEngine(QPixmap picture, QString densePath)
        : picture_(std::move(picture))
        , densePath_(std::move(densePath))
    {
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        QPixmap shown = PictureAt(size);
        if (mode != QIcon::Normal) {
            QStyleOption option;
            option.palette = QApplication::palette();
            const QPixmap styled = QApplication::style()->generatedIconPixmap(mode, shown, &option);
            if (!styled.isNull())
                shown = styled;
        }
        return shown;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal density = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap shown = pixmap((QSizeF(rect.size()) * density).toSize(), mode, state);
        shown.setDevicePixelRatio(density);
        painter->drawPixmap(rect.topLeft(), shown);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        return picture_.size().scaled(size, Qt::KeepAspectRatio).boundedTo(picture_.size());
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {picture_.size()}; }

    QIconEngine* clone() const override { return new ButtonPictureEngine(*this); }

private:
    // The picture for `size` device pixels: the 1x picture up to its own
    // size, above it the 2x one scaled to the size asked for.
    QPixmap PictureAt(const QSize& size)
    {
        const bool denser = size.width() > picture_.width() || size.height() > picture_.height();
        if (!denser || !LoadDense())
            return picture_;
        if (size == dense_.size())
            return dense_;
        return dense_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    bool LoadDense()
    {
        if (!dense_.isNull())
            return true;
        if (densePath_.isEmpty())
            return false;
        const std::optional<QImage> picture = LoadPicture(densePath_);
        if (!picture || picture->size() != picture_.size() * 2) {
            qCWarning(lcShell).noquote() << "The button picture" << densePath_
                                         << "is not used: it cannot be read or is not twice the size of"
                                         << "its 1x picture";
            densePath_.clear();
            return false;
        }
        dense_ = QPixmap::fromImage(*picture);
        return true;
    }

    QPixmap picture_;
    QString densePath_;
    QPixmap dense_;
};

}  // namespace

ButtonPictureFile ReadButtonPicture(const QString& controlName, const QStringList& folders)
{
    ButtonPictureFile file;
    const QString name = QStringLiteral("buttons/%1.gif").arg(controlName);
    const std::optional<QString> path = FindAsset(name, folders);
    if (!path) {
        file.reason = QStringLiteral("%1 was not found in %2").arg(name, folders.join(QStringLiteral(" or in ")));
        return file;
    }
    QString reason;
    file.picture = LoadPicture(*path, &reason);
    if (!file.picture) {
        file.reason = QStringLiteral("%1 cannot be read: %2").arg(*path, reason);
        return file;
    }
    file.densePath = DenseCompanion(*path).value_or(QString());
    return file;
}

ButtonPictureFiles ReadButtonPictures(const QStringList& controlNames, const QStringList& folders)
{
    ButtonPictureFiles files;
    for (const QString& name : controlNames)
        files.insert(name, ReadButtonPicture(name, folders));
    return files;
}

std::optional<ButtonPicture> ButtonIcon(const ButtonPictureFile& file)
{
    if (!file.picture) {
        qCWarning(lcShell).noquote() << "The button picture" << file.reason << "- the button is drawn plain";
        return std::nullopt;
    }
    QPixmap pixmap = QPixmap::fromImage(*file.picture);
    const QSize size = pixmap.size();
    return ButtonPicture{QIcon(new ButtonPictureEngine(std::move(pixmap), file.densePath)), size};
}

std::optional<ButtonPicture> LoadButtonIcon(const QString& controlName, const QStringList& folders)
{
    return ButtonIcon(ReadButtonPicture(controlName, folders));
}

}  // namespace corvan
