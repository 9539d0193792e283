// The recovery journal: after every change the whole protocol state is
// written to one file, so that a crash, a killed process or a power cut
// loses nothing that was recorded. The file is the protocol as tab-separated
// text (a person can load it as a starter list: the program's own notes
// ride in lines beginning with "Nr", which the list reader skips), plus the
// event name, list path, caption, both lanes' rows, whether the results are
// in a saved file, and the moment it was written.
#pragma once

#include "protocol/ProtocolTable.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

struct JournalState
{
    ProtocolTable rows;
    QString eventName;
    QString listPath;
    QString caption;
    int lane1 = -1; // selector positions, -1 for none
    int lane2 = -1;
    bool unsaved = false; // results recorded that are in no saved file
    QDateTime stamp;

    bool operator==(const JournalState &) const = default;
};

QByteArray JournalText(const JournalState &state);
// nullopt when the text is not a complete journal (damaged, cut off, or
// not a journal at all).
std::optional<JournalState> ReadJournalText(QByteArrayView text);

// Rows with something in "Zeit": a time, "AUS" or "DIS".
int RecordedResultCount(const ProtocolTable &rows);
// Teams in the protocol (none when only the blank row of an empty one).
int TeamCount(const ProtocolTable &rows);
// The state holds teams whose results are in no saved file: worth asking for.
bool WorthRecovering(const JournalState &state);
// "Letzten Stand vom <Datum Uhrzeit> wiederherstellen? (<n> Teams, <m> Zeiten)"
QString RecoveryQuestion(const JournalState &state);

// The journal file of one program: written atomically, read back, or put
// aside under a dated name (never deleted).
class Journal
{
public:
    explicit Journal(const QString &fileName) : m_fileName(fileName) {}

    QString FileName() const { return m_fileName; }
    // Creates the folder when needed; false with the reason on failure, the
    // previous file then stays as it was.
    bool Write(const JournalState &state, QString *error) const;

    enum class Found { Nothing, Readable, Damaged };
    Found Read(JournalState &state) const;

    // Renames the file to "<name> vom <yyyy-MM-dd HH-mm-ss>.txt" beside it
    // (with a number added when that name is taken); returns the new name,
    // or "" when it could not be renamed.
    QString PutAside(const QDateTime &stamp) const;

private:
    QString m_fileName;
};
