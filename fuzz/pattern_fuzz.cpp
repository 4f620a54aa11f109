// The file name patterns on any pattern and any name: no crash, no time
// that grows faster than the lengths multiplied, and the same answer as a
// plain table-driven reading of "*" and "?" without regard to case.
//
// Input: the pattern list, a line feed, the name (UTF-8).
#include "browser/pattern.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// matches[i][j]: the first i characters of the pattern match the first j of
// the name.
bool PlainMatch(QStringView pattern, QStringView name)
{
    const qsizetype m = pattern.size();
    const qsizetype n = name.size();
    std::vector<char> row(static_cast<std::size_t>(n + 1), 0);
    std::vector<char> next(row.size(), 0);
    row[0] = 1;
    for (qsizetype i = 1; i <= m; ++i) {
        const QChar p = pattern[i - 1];
        next.assign(next.size(), 0);
        if (p == u'*') {
            char any = 0;
            for (qsizetype j = 0; j <= n; ++j) {
                any = static_cast<char>(any | row[static_cast<std::size_t>(j)]);
                next[static_cast<std::size_t>(j)] = any;
            }
        } else {
            for (qsizetype j = 1; j <= n; ++j)
                next[static_cast<std::size_t>(j)] = row[static_cast<std::size_t>(j - 1)]
                                                    && (p == u'?' || p == name[j - 1]);
        }
        row.swap(next);
    }
    return row[static_cast<std::size_t>(n)] != 0;
}

bool PlainListMatch(const QString& patterns, const QString& name)
{
    const QString folded = name.toCaseFolded();
    for (const QString& part : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString t = part.trimmed();
        if (!t.isEmpty() && PlainMatch(t.toCaseFolded(), folded))
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = bytes.indexOf('\n');
    const QString patterns = QString::fromUtf8(split < 0 ? bytes : bytes.left(split));
    const QString name = split < 0 ? QString() : QString::fromUtf8(bytes.mid(split + 1));
    // The plain reading costs lengths multiplied; keep it quick.
    if (patterns.size() * (name.size() + 1) > 400000)
        return 0;

    const corvan::PatternList list(patterns);
    if (list.Matches(name) != PlainListMatch(patterns, name))
        std::abort();
    const QString pattern = patterns.toCaseFolded();
    const QString folded = name.toCaseFolded();
    if (corvan::WildcardMatch(pattern, folded) != PlainMatch(pattern, folded))
        std::abort();
    return 0;
}
