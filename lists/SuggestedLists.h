#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVector>

// A public channel list the program offers to add.
struct SuggestedList {
    QString name;
    QString address;
    bool chosenByDefault = false;

    bool operator==(const SuggestedList &o) const
    {
        return name == o.name && address == o.address && chosenByDefault == o.chosenByDefault;
    }
};

// The suggested public lists live in one data file built into the program
// (the LUMI_SUGGESTED_LISTS CMake option picks it or leaves it empty): one
// list per line, "name<TAB>address<TAB>sim|não"; blank lines and lines
// starting with '#' are comments. Lines without an http(s) address are skipped.
class SuggestedLists
{
public:
    static constexpr int MaxLists = 50;

    static QVector<SuggestedList> parse(QByteArrayView text);
    // The file built in; empty when the program was built without suggestions.
    static QVector<SuggestedList> builtIn();
    static QString builtInPath(); // ":/lists/suggested-lists.tsv"
};
