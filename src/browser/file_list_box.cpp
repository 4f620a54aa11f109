#include "browser/file_list_box.h"

#include "browser/folder_entries.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <vector>

namespace corvan {

namespace {

// An entry whose text does not give its name's bytes back keeps them here.
constexpr int kNameRole = Qt::UserRole;

}  // namespace

std::optional<QList<FilePath>> ListMatchingFiles(const FilePath& folder, const PatternList& pattern)
{
    // Each name is folded once: the fold is both what the patterns match and
    // the sort key, which then compares as plain code units. Names whose
    // texts are the same (bytes that do not decode) keep the order of their
    // bytes.
    struct Found {
        QString key;
        QByteArray name;
    };
    std::vector<Found> found;
    const bool listed = ForEachVisibleEntry(folder, [&](const char* raw, EntryKind kind) {
        if (kind != EntryKind::File)
            return;
        QByteArray name(raw);
        QString key = QString::fromUtf8(name).toCaseFolded();
        if (pattern.MatchesFolded(key))
            found.push_back({std::move(key), std::move(name)});
    });
    if (!listed)
        return std::nullopt;
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        const int byKey = QString::compare(a.key, b.key, Qt::CaseSensitive);
        if (byKey != 0)
            return byKey < 0;
        const QString textA = QString::fromUtf8(a.name);
        const QString textB = QString::fromUtf8(b.name);
        return textA != textB ? textA < textB : a.name < b.name;
    });

    QList<FilePath> names;
    names.reserve(static_cast<qsizetype>(found.size()));
    for (Found& f : found)
        names.push_back(FilePath::FromBytes(std::move(f.name)));
    return names;
}

FileListBox::FileListBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setMouseTracking(true);
    SetPattern(MediaPattern());
}

bool FileListBox::SetPath(const FilePath& folder)
{
    const auto names = ListMatchingFiles(folder, pattern_);
    if (!names)
        return false;
    Show(folder, *names);
    return true;
}

void FileListBox::Show(const FilePath& folder, const QList<FilePath>& names)
{
    path_ = folder;
    clear();
    QStringList texts;
    texts.reserve(names.size());
    for (const FilePath& name : names)
        texts.append(name.Text());
    // All at once, then the bytes of the few names the text cannot give back.
    addItems(texts);
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (!names[i].TextIsExact())
            item(static_cast<int>(i))->setData(kNameRole, names[i].Bytes());
    }
    setCurrentRow(-1);
}

void FileListBox::Refresh()
{
    SetPath(path_);
}

void FileListBox::SetPattern(const QString& patterns)
{
    patternText_ = patterns;
    pattern_ = PatternList(patterns);
    if (!path_.IsEmpty())
        Refresh();
}

int FileListBox::ListIndex() const
{
    const int row = currentRow();
    return (row >= 0 && item(row) && item(row)->isSelected()) ? row : -1;
}

bool FileListBox::SetListIndex(int index)
{
    if (index < -1 || index >= count())
        return false;
    if (index == -1) {
        setCurrentRow(-1);
        clearSelection();
    } else {
        setCurrentRow(index);
        scrollToItem(item(index));
    }
    return true;
}

QString FileListBox::Entry(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

FilePath FileListBox::EntryName(int index) const
{
    const QListWidgetItem* it = item(index);
    if (!it)
        return {};
    const QVariant bytes = it->data(kNameRole);
    return bytes.isValid() ? FilePath::FromBytes(bytes.toByteArray()) : FilePath::FromText(it->text());
}

int FileListBox::IndexOf(const FilePath& name) const
{
    for (int i = 0; i < count(); ++i) {
        if (EntryName(i) == name)
            return i;
    }
    return -1;
}

QString FileListBox::SelectedName() const
{
    return Entry(ListIndex());
}

FilePath FileListBox::SelectedPath() const
{
    return path_.Join(EntryName(ListIndex()));
}

void FileListBox::keyPressEvent(QKeyEvent* event)
{
    if (!event->text().isEmpty())
        emit KeyTyped(event->text());
    QListWidget::keyPressEvent(event);
}

void FileListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::RightButton) {
        emit RightPressed(event->globalPosition().toPoint());
        return;
    }
    QListWidget::mousePressEvent(event);
}

void FileListBox::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMoved();
    QListWidget::mouseMoveEvent(event);
}

void FileListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit DoubleClicked();
}

}  // namespace corvan
