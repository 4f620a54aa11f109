#include "playlist/queue_search.h"

namespace corvan {

std::optional<int> FindQueueEntry(int count, const std::function<QString(int)>& entryAt, const QString& text)
{
    const QString key = text.toUpper();
    if (key.isEmpty() || count <= 0)
        return std::nullopt;
    const auto probe = [&](int index) { return entryAt(index).left(key.size()).toUpper(); };

    // lo and hi close in until they are neighbours; an equal probe moves hi
    // down, so the first entry of a run of matches is the one kept.
    int lo = 0;
    int hi = count - 1;
    while (hi - lo >= 2) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (QString::compare(probe(mid), key, Qt::CaseSensitive) < 0)
            lo = mid;
        else
            hi = mid;
    }
    if (probe(lo) == key)
        return lo;
    if (probe(hi) == key)
        return hi;
    return std::nullopt;
}

std::optional<int> FindQueueEntry(const QStringList& names, const QString& text)
{
    return FindQueueEntry(
        static_cast<int>(names.size()), [&names](int i) { return names.at(i); }, text);
}

}  // namespace corvan
