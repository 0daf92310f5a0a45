#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Mends, as the bytes stream past, what real guides get wrong and an XML
// parser stops at: a bare "&" ("Tom & Jerry"), HTML entities ("&eacute;",
// "&nbsp;"), character references to characters XML forbids ("&#1;") and raw
// control bytes. Leaves CDATA sections alone, and bounds every run of bytes
// without a "<" so that no single text or tag can grow without end.
// Works on UTF-8 and single-byte encodings; UTF-16 input is passed through
// untouched (the caller decides, see passThrough).
class XmlRepair
{
public:
    static constexpr qsizetype MaxRunBytes = 1024 * 1024;

    // Mends input onto out. Bytes that need more of the stream to decide (an
    // "&" near the end of input) wait for the next call; atEnd decides them.
    void feed(QByteArrayView input, bool atEnd, QByteArray &out);
    void setPassThrough(bool passThrough) { m_passThrough = passThrough; }

    int entitiesRepaired() const { return m_entities; }
    int runsCut() const { return m_runsCut; }

private:
    enum class State { Markup, Cdata, Dropping };
    // Returns bytes of input used from at; 0 when more input is needed.
    qsizetype entity(QByteArrayView input, qsizetype at, bool atEnd, QByteArray &out);
    void process(QByteArrayView input, bool atEnd, QByteArray &out);

    QByteArray m_carry;
    State m_state = State::Markup;
    qsizetype m_run = 0; // bytes since the last "<"
    bool m_passThrough = false;
    int m_entities = 0;
    int m_runsCut = 0;
};
