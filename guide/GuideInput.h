#pragma once

#include "guide/GuideReadReport.h"
#include "guide/XmlRepair.h"

#include <QIODevice>
#include <memory>

// Told how far a reading has come; says whether to go on.
class GuideReadObserver
{
public:
    virtual ~GuideReadObserver() = default;
    // bytesRead counts the stored (compressed) bytes. False stops the reading.
    virtual bool keepGoing(qint64 bytesRead) = 0;
};

// A guide's bytes as XML, whatever they are stored as: plain, gzip (one
// member or several), zlib or xz, decided by the first bytes, not the name.
// Decompresses as it is read, a chunk at a time, and mends the XML on the way
// (XmlRepair). A read-only, sequential device over source (not owned), for
// QXmlStreamReader.
class GuideInput : public QIODevice
{
    Q_OBJECT

public:
    static constexpr qint64 ChunkBytes = 64 * 1024;
    static constexpr qint64 DefaultMaxDecoded = qint64(4) * 1024 * 1024 * 1024;

    explicit GuideInput(QIODevice *source, GuideReadObserver *observer = nullptr,
        qint64 maxDecoded = DefaultMaxDecoded, QObject *parent = nullptr);
    ~GuideInput() override;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    bool atEnd() const override;

    GuideReadReport::Compression compression() const { return m_compression; }
    // The compressed stream ended before its end mark: a cut download or archive.
    bool wasCut() const { return m_cut; }
    bool wasCancelled() const { return m_cancelled; }
    // Why the bytes stopped before their end (corrupt data, too large), in Portuguese.
    QString failure() const { return m_failure; }
    qint64 storedBytesRead() const { return m_storedRead; }
    qint64 decodedBytes() const { return m_decodedTotal; }
    const XmlRepair &repair() const { return m_repair; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    struct Decoder;

    bool fill();
    bool readStored();
    void sniff();
    void decode(bool sourceEnded);
    void emitDecoded(const char *data, qint64 size, bool atEnd);
    void stop(const QString &failure = QString());

    QIODevice *m_source;
    GuideReadObserver *m_observer;
    qint64 m_maxDecoded;
    std::unique_ptr<Decoder> m_decoder;
    GuideReadReport::Compression m_compression = GuideReadReport::Compression::None;
    bool m_sniffed = false;
    bool m_finished = false;
    bool m_cut = false;
    bool m_cancelled = false;
    QString m_failure;
    QByteArray m_stored; // read from source, not yet decoded
    QByteArray m_decoded;
    QByteArray m_out; // mended XML, waiting to be read from m_outAt
    qsizetype m_outAt = 0;
    qint64 m_storedRead = 0;
    qint64 m_decodedTotal = 0;
    XmlRepair m_repair;
};
