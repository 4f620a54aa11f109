#include "browser/pattern.h"

namespace corvan {

PatternList::PatternList(const QString& patterns)
{
    for (const QString& p : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString t = p.trimmed();
        if (!t.isEmpty())
            parts_ << t.toCaseFolded();
    }
}

bool PatternList::Matches(const QString& name) const
{
    return MatchesFolded(name.toCaseFolded());
}

bool PatternList::MatchesFolded(QStringView foldedName) const
{
    for (const QString& p : parts_) {
        if (WildcardMatch(p, foldedName))
            return true;
    }
    return false;
}

// Iterative matcher with one backtrack point: linear in practice and never
// recursive, so hostile patterns such as "*a*a*a*a*b" cannot blow the stack.
bool WildcardMatch(QStringView pattern, QStringView name)
{
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        // A "*" is a wildcard even where the name holds a "*" too.
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

}  // namespace corvan
