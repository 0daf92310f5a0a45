#pragma once

#include "lists/ListChannel.h"

#include <QObject>
#include <QString>

// What a row of "Canais" says beyond the channel's name: a line under it, a
// share of a thin bar under that, and a tooltip. The channel window knows no
// more of where the words come from (the programme guide makes them).
struct ChannelRowNote {
    QString line; // from outside: shown as plain text
    double progress = -1; // 0..1; below 0, no bar
    QString tooltip; // plain text as well

    bool isEmpty() const { return line.isEmpty(); }
};

class ChannelRowNotes : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Asked as rows are painted: cheap, and only for the rows on screen.
    virtual ChannelRowNote noteFor(const ListChannel &channel) const = 0;
    // Whether any row may have a note: rows are made taller for them.
    virtual bool hasNotes() const = 0;

signals:
    // Notes asked before may be stale: the rows on screen are painted again.
    void notesChanged();
};
