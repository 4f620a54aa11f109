#pragma once

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QWidget;

namespace corvan {

class Region;

// The skin picture's file name.
inline constexpr char16_t kSkinPictureName[] = u"new2.gif";

// The folders that hold the player's pictures, in the order they are
// searched: the program's folder, where the build puts them, then the
// share folder beside an installed program's, wherever it was installed,
// then the share folder of the configured install prefix.
QStringList AssetFolders();

// A data file of the player, by its path below a data folder ("new2.gif",
// "buttons/Command13.gif"), from the first folder that has it; nullopt when
// none has.
std::optional<QString> FindAsset(const QString& relativePath, const QStringList& folders = AssetFolders());

// "new2.gif" as FindAsset finds it.
std::optional<QString> FindSkinPicture();

// The skin picture read from its file and cut to its outline, before a window
// wears it. Reading needs neither a window nor the application object, so it
// can run on a thread of its own while the application starts.
struct Skin {
    Skin(QString file, QImage image, std::unique_ptr<Region> region);
    Skin(Skin&&) noexcept;
    Skin& operator=(Skin&&) noexcept;
    ~Skin();

    QString path;
    QImage picture;
    std::unique_ptr<Region> outline;
};

// Reads "new2.gif" from the first of `folders` that has it. Nothing, with a
// message in *error naming the file, when it is missing or cannot be read.
std::optional<Skin> ReadSkin(const QStringList& folders, QString* error);
std::optional<Skin> ReadSkin(const QString& picturePath, QString* error);

// The window takes the picture as its background and the outline as its
// mask (see DressInSkin).
void WearSkin(QWidget& form, Skin& skin);

// Dresses the window in the skin picture and cuts it to the picture's
// outline: every pixel of the bottom-left pixel's colour is cut away. The
// picture becomes the window's background, drawn at its top-left corner at
// its own size, under the child controls. Returns false, with a message in
// *error naming the file, when the picture is missing or cannot be read;
// the window is then left as it was.
bool DressInSkin(QWidget& form, QString* error);
bool DressInSkin(QWidget& form, const QString& picturePath, QString* error);

// The picture drawn at twice the size beside `picturePath` ("new2.gif" ->
// "new2@2x.png"), for screens of more than one device pixel per window
// pixel; nullopt when there is none.
std::optional<QString> DenseCompanion(const QString& picturePath);

// A picture button's face: an icon of the button's picture at `size`, which
// on a denser screen draws the picture made at twice the size.
struct ButtonPicture {
    QIcon icon;
    QSize size;
};
std::optional<ButtonPicture> LoadButtonIcon(const QString& controlName, const QStringList& folders = AssetFolders());

// A button's picture file ("buttons/<control name>.gif") read and decoded
// ahead of the window: it needs neither the application object nor the
// window, so it can be read on the thread that reads the skin.
struct ButtonPictureFile {
    std::optional<QImage> picture;  // nullopt: missing or unreadable
    QString reason;                 // what was wrong, with the file's name
    QString densePath;              // its picture made at twice the size, if any
};
ButtonPictureFile ReadButtonPicture(const QString& controlName, const QStringList& folders = AssetFolders());
// By control name.
using ButtonPictureFiles = QHash<QString, ButtonPictureFile>;
ButtonPictureFiles ReadButtonPictures(const QStringList& controlNames, const QStringList& folders = AssetFolders());
// The button face made of a file read ahead; a missing or unreadable file is
// logged and leaves the button plain (nullopt), as LoadButtonIcon does.
std::optional<ButtonPicture> ButtonIcon(const ButtonPictureFile& file);

}  // namespace corvan
