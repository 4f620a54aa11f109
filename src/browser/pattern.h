#pragma once

#include <QString>
#include <QStringList>

namespace corvan {

// File name patterns as the player's lists use them: "*" and "?" wildcards,
// matched without regard to case, several patterns joined by ";"
// ("*.mp3;*.wav"). Blanks around each pattern are ignored.
class PatternList {
public:
    PatternList() = default;
    explicit PatternList(const QString& patterns);

    bool Matches(const QString& name) const;
    // The same for a name already folded with QString::toCaseFolded(), so a
    // caller that keeps the folded name (as a sort key) folds it only once.
    bool MatchesFolded(QStringView foldedName) const;
    bool IsEmpty() const { return parts_.isEmpty(); }

private:
    QStringList parts_;  // folded to lower case
};

// One pattern against one name; `pattern` must already be folded.
bool WildcardMatch(QStringView pattern, QStringView foldedName);

}  // namespace corvan
