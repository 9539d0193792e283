// The change log of the recovery journal. It is a file of fixed size,
// filled with zeros when it is made, whose records are written in place
// from its start, each flushed with fdatasync before the change that wrote
// it returns. Writing into space the file already has changes no file
// size, so the flush carries only the record; an append would also commit
// the new size to the file system's journal, about ten times the cost.
//
// A record is the length of its payload and a CRC-32 over length, key and
// payload (4 bytes each, little-endian), the key of the snapshot it belongs
// to (8 bytes), then the payload. Each record is written with an end mark
// behind it (16 zero bytes, where the log has room), which the next record
// overwrites. The log is read from its start up to the end mark, or up to a
// whole record of another key (the first record of an older log, before
// the new snapshot's first change). Anything else where a record should
// be (a record cut off or failing its CRC) is damage.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

// The CRC-32 of the bytes, continued from the CRC of the bytes before them
// (0 to begin with).
quint32 Crc32(quint32 crc, QByteArrayView bytes);
// One record as written to the log.
QByteArray JournalLogRecord(quint64 key, QByteArrayView payload);
// The payloads of the records of `key` at the start of `log`, in order;
// *damaged tells whether they end at damage rather than at the log's end.
std::vector<QByteArrayView> JournalLogPayloads(QByteArrayView log, quint64 key,
                                               bool *damaged = nullptr);

class JournalLog
{
public:
    static constexpr qint64 Capacity = 1024 * 1024;

    explicit JournalLog(const QString &fileName) : m_fileName(fileName) {}
    ~JournalLog() { Close(); }
    JournalLog(const JournalLog &) = delete;
    JournalLog &operator=(const JournalLog &) = delete;

    QString FileName() const { return m_fileName; }

    // Starts the log of a new snapshot, to be written from its start; the
    // file is made (and flushed, its name too) when it is missing or short.
    bool Start(quint64 key, QString *error);
    bool IsOpen() const { return m_fd >= 0; }
    // Whether a record of this payload fits behind the records written.
    bool HasRoom(QByteArrayView payload) const;
    // Writes a record of the started key and flushes it. On failure the
    // log is closed: a torn record may end it now, nothing may follow.
    bool Write(QByteArrayView payload, QString *error);
    void Close();

private:
    bool Open(QString *error);
    int Fill(qint64 from);
    bool Fail(int code, QString *error);

    QString m_fileName;
    int m_fd = -1;
    qint64 m_end = 0;
    quint64 m_key = 0;
};
