#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace corvan {

// The search of the play queue by the start of a file name. The queue is
// sorted without regard to case; the search compares upper-cased text code
// unit by code unit, so where the two orders disagree (names beginning with
// punctuation between "Z" and "a", accented letters) a name can be missed.
//
// Returns the index of the first entry that starts with `text` regardless of
// case, or nullopt when the text is empty, the queue is empty or nothing
// matches. `entryAt` is asked for about log2(count) entries.
std::optional<int> FindQueueEntry(int count, const std::function<QString(int)>& entryAt, const QString& text);
std::optional<int> FindQueueEntry(const QStringList& names, const QString& text);

}  // namespace corvan
