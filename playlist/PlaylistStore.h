#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <stdexcept>

// A failure of the store: a file that cannot be rewritten, a missing target
// list. message() is the text shown to the user.
class IniError : public std::runtime_error
{
public:
    explicit IniError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The playlist store: an INI-style text file of lines, read whole when opened
// and rewritten whole after every change.
//
// Lines end in CR LF when written; CR LF, a lone CR or a lone LF end a line
// when read. Text is written as UTF-8; a line that is not valid UTF-8 is read
// as Windows-1252, so lists written by older versions still load.
//
// A header is a line that, trimmed of blanks and control characters, starts
// with "[" and ends with "]". A section is found by the first line equal to
// "[name]" (letter case ignored) and runs to the next header. An entry line is
// key "=" value, both trimmed; lines without "=" or with an empty key are
// skipped by every read.
class PlaylistStore
{
public:
    // A list holds a few hundred lines; a file this big is none and would only
    // fill the memory.
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    // Remembers the path and loads the file when it exists; writes nothing.
    // Throws IniError for a file over MaxFileBytes.
    explicit PlaylistStore(const QString &fileName);

    QString FileName() const { return m_fileName; }

    // Empties the list, then adds the key of every entry of the section in
    // file order. A null list throws IniError("Param Strings must be assigned").
    void ReadSection(const QString &section, QStringList *strings) const;
    // The first entry of the section whose key equals key exactly (letter case
    // counts) decides: its value when not empty, else the default.
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    // Replaces the first entry with that exact key, or inserts the entry after
    // the section's last line; a missing section is appended after an empty
    // line. Then the file is rewritten (atomically), unless an update is open.
    // Throws IniError("Cannot create file ...") when it cannot be rewritten, and
    // IniError when the entry cannot be stored as one line (see entryProblem).
    void WriteString(const QString &section, const QString &key, const QString &value);

    // Defers the rewrites of WriteString until EndUpdate, which writes the file
    // once: the bytes are those the separate rewrites would have left. When
    // that write fails, the store returns to what it held at BeginUpdate and
    // EndUpdate throws. Nested calls are not supported.
    void BeginUpdate();
    void EndUpdate();

    // Why key/value cannot be written as one entry line of this format (a line
    // break would write extra lines; a line that reads as a header would cut
    // the section); empty when they can.
    static QString entryProblem(const QString &key, const QString &value);

    // The lines as held in memory (for tests and diagnostics).
    const QStringList &lines() const { return m_lines; }

private:
    struct SectionIndex {
        QString section;
        int header = -1;
        int end = -1; // one past the section's last line
        QHash<QString, int> firstLine; // entry key -> first line holding it
    };

    void load();
    void save() const;
    int findSection(const QString &section) const;
    int sectionEnd(int header) const;
    SectionIndex &indexFor(const QString &section);

    QString m_fileName;
    QStringList m_lines;
    SectionIndex m_index;
    bool m_indexValid = false;
    bool m_updating = false;
    bool m_dirty = false;
    QStringList m_linesBeforeUpdate;
};
