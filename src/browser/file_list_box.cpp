#include "browser/file_list_box.h"

#include "browser/folder_entries.h"

#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <vector>

namespace corvan {

QString JoinPath(const QString& folder, const QString& name)
{
    return folder + QLatin1Char('/') + name;
}

std::optional<QStringList> ListMatchingFiles(const QString& folder, const PatternList& pattern)
{
    // Each name is folded once: the fold is both what the patterns match and
    // the sort key, which then compares as plain code units.
    struct Found {
        QString key;
        QString name;
    };
    std::vector<Found> found;
    const bool listed = ForEachVisibleEntry(folder, [&](const char* raw, EntryKind kind) {
        if (kind != EntryKind::File)
            return;
        QString name = QFile::decodeName(raw);
        QString key = name.toCaseFolded();
        if (pattern.MatchesFolded(key))
            found.push_back({std::move(key), std::move(name)});
    });
    if (!listed)
        return std::nullopt;
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        const int byKey = QString::compare(a.key, b.key, Qt::CaseSensitive);
        return byKey != 0 ? byKey < 0 : a.name < b.name;
    });

    QStringList names;
    names.reserve(static_cast<qsizetype>(found.size()));
    for (Found& f : found)
        names.push_back(std::move(f.name));
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

bool FileListBox::SetPath(const QString& folder)
{
    const auto names = ListMatchingFiles(folder, pattern_);
    if (!names)
        return false;
    Show(folder, *names);
    return true;
}

void FileListBox::Show(const QString& folder, const QStringList& names)
{
    path_ = folder;
    clear();
    addItems(names);
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
    if (!path_.isEmpty())
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

QString FileListBox::SelectedName() const
{
    return Entry(ListIndex());
}

QString FileListBox::SelectedPath() const
{
    return JoinPath(path_, SelectedName());
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
