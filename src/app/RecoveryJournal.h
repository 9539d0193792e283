// The main window's recovery journal: the window's whole protocol state is
// written to the journal file after every change of the protocol or of the
// lanes' teams, before the handler that made the change returns; at start
// a journal holding results that are in no saved file is offered back.
#pragma once

#include "protocol/Journal.h"

#include <QObject>

class TFDlgYesNo;
class TFormMain;

class RecoveryJournal : public QObject
{
    Q_OBJECT

public:
    RecoveryJournal(TFormMain *form, const QString &fileName);

    // "Wiederherstellung.txt" in the user's data folder of this program.
    static QString DefaultFileName();

    // Asks whether to restore a journal worth recovering: yes restores
    // protocol, event name, caption and lanes; no keeps that file under a
    // dated name. Writing starts only after this, so nothing is
    // overwritten before the operator has answered.
    void OfferRecovery(TFDlgYesNo *dialog);

    // Writes the window's state now (also at a normal exit). A failure is
    // told once in the status line; the race goes on.
    void Write();

    JournalState CurrentState() const;
    QString FileName() const { return m_journal.FileName(); }

private:
    void Restore(const JournalState &state);
    // The dated name the journal now has, "" (and told) when it stays.
    QString PutAside(const QDateTime &stamp);

    TFormMain *m_form;
    Journal m_journal;
    bool m_writing = false;
    bool m_failureTold = false;
};
