// The recovery journal: the whole protocol state is kept on disk so that a
// crash, a killed process or a power cut loses nothing that was recorded.
// It is a snapshot file (written atomically at a list load, a ranking and
// other changes of the whole table) and, beside it, a change log that takes
// one small record per later change (a stop, a penalty, a lane change), so
// that a change costs what it changed rather than the whole protocol.
//
// The snapshot is the protocol as tab-separated text (a person can load it
// as a starter list: the program's own notes ride in lines beginning with
// "Nr", which the list reader skips), plus the event name, list path,
// caption, both lanes' rows, whether the results are in a saved file, the
// moment it was written, each row's place in the start order (when it is
// not the rows' own order), and the key of its change log. Its last line
// carries a checksum of all before it: a changed byte makes it damaged,
// never a different result.
//
// One running program holds the journal's folder (a lock file beside the
// snapshot); another copy started meanwhile must leave the files alone.
#pragma once

#include "protocol/JournalLog.h"
#include "protocol/JournalText.h"
#include "protocol/RegularFile.h"

#include <QLockFile>
#include <QString>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

// The journal files of one program: the snapshot under the given name, its
// change log beside it with the extension ".log".
//
// A snapshot of a long list takes a while to write and flush, so one that
// only arranges rows anew (a load, a ranking, a sort) may be written on the
// journal's own thread while the window goes on. Until it is on the disk
// the previous snapshot and its log stay as they were, and every other
// write waits for it: a change is never logged against a snapshot the disk
// does not hold yet.
class Journal
{
public:
    explicit Journal(const QString &fileName);
    // Finishes the snapshots still to be written.
    ~Journal();
    Journal(const Journal &) = delete;
    Journal &operator=(const Journal &) = delete;

    QString FileName() const { return m_fileName; }
    QString LogFileName() const { return m_log.FileName(); }

    // Writes a snapshot of the whole state and starts its change log.
    // Creates the folder when needed; false with the reason on failure, the
    // previous files then stay as they were.
    bool Write(const JournalState &state, QString *error);
    // The same from the protocol's columns, which are read where they are.
    bool Write(const JournalNotes &notes, const ProtocolColumns &columns,
               const StartOrder &startOrder, QString *error);

    // Told on the journal's thread how a snapshot written there went.
    using Outcome = std::function<void(bool written, const QString &error)>;
    void SetBackgroundOutcome(Outcome outcome) { m_outcome = std::move(outcome); }
    // Writes the snapshot on the journal's thread and returns at once. A
    // snapshot still waiting for its turn there is replaced: it is older.
    void WriteInBackground(const JournalNotes &notes, const ProtocolColumns &columns,
                           const StartOrder &startOrder = {});
    // Returns when no snapshot is being written or waiting.
    void WaitUntilWritten();

    // Records a change of the state last written in the change log and
    // flushes it. false when the log cannot take it (not started, full, or
    // the write failed): a snapshot must hold the change instead.
    bool Append(const JournalChange &change);
    // A change of the notes alone (the lanes' teams, the saved mark, the
    // run): logged at once, or, while a snapshot is on its way, right
    // after it lands, so the window does not wait for the snapshot. A crash
    // meanwhile loses no result, only these notes. false when the log
    // cannot take it now.
    bool AppendNotes(const JournalChange &change);

    // Takes the journal's folder for this program, until the journal goes.
    // false when another running program holds it (the lock of one that
    // died is taken over); a folder that cannot be made is not held.
    bool TakeFolder();

    enum class Found { Nothing, Readable, Damaged };
    // The snapshot with its change log applied up to the first record
    // that cannot be read: its number (from 1) goes to *unreadableEntry,
    // 0 when the log was read whole.
    Found Read(JournalState &state, int *unreadableEntry = nullptr) const;

    // Writes the state under "<event> – aufbewahrt <yyyy-MM-dd HH-mm-ss>.txt"
    // beside the snapshot (with a number added when that name is taken), a
    // file that loads back as a list of the same event. Returns the new
    // name, or "" when it could not be written.
    QString KeepCopy(const JournalState &state) const;
    // The same, and then removes the snapshot: nothing of it is lost. The
    // snapshot stays when the copy could not be written.
    QString KeepAside(const JournalState &state) const;
    // Renames a snapshot that cannot be read to such a dated name; "" when
    // it could not be renamed.
    QString PutAside(const QDateTime &stamp) const;
    // The same for a change log that cannot be read whole, "<...>.log".
    QString PutLogAside(const QDateTime &stamp) const;
    // The dated name a file of this moment is put aside under.
    QString AsideName(const QDateTime &stamp, const QString &suffix = QStringLiteral(".txt")) const;
    // The name KeepCopy would give the state now.
    QString KeptName(const JournalState &state) const;

private:
    struct Picture
    {
        JournalNotes notes;
        ProtocolColumns columns;
        StartOrder startOrder;
    };
    // Writes the text of a snapshot with the given log key.
    using SnapshotWriter = std::function<bool(quint64 key, const ChunkWriter &write)>;
    bool WriteSnapshot(const SnapshotWriter &text, QString *error);
    void WriteInTurn();
    int ApplyLog(JournalState &state, quint64 key, const JournalColumns &columns) const;
    static QString RenameAside(const QString &file, const QString &name);
    QString FreeName(const QString &base, const QString &suffix) const;

    std::unique_ptr<QLockFile> m_folderLock; // goes last, when nothing is written any more
    QString m_fileName;
    JournalLog m_log;

    Outcome m_outcome;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<Picture> m_waiting; // guarded by m_mutex
    // Notes to log after the snapshot being written; guarded by m_mutex.
    std::optional<JournalChange> m_notesBehind;
    bool m_writing = false; // guarded by m_mutex
    bool m_closing = false; // guarded by m_mutex
    std::thread m_writer;   // started with the first background snapshot
};
