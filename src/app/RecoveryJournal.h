// The main window's recovery journal: after every change of the protocol or
// of the lanes' teams, before the handler that made the change returns,
// the change is on the disk: a record of the changed rows in the change
// log, or a snapshot of the whole state when rows came, went or moved.
// Only a snapshot of rows freshly loaded, ranked or sorted is written on
// the journal's own thread: until it lands, the previous snapshot and its
// log still hold every result. At start a journal holding results that are
// in no saved file is offered back.
#pragma once

#include "platform/Platform.h"
#include "protocol/Journal.h"
#include "protocol/ProtocolChange.h"

#include <QObject>

class ProtocolController;
class QStatusBar;
class TFDlgYesNo;

class RecoveryJournal : public QObject
{
    Q_OBJECT

public:
    // What the journal keeps of the window besides the protocol, and tells in.
    struct Window
    {
        // Its title is kept; the boxes' parent.
        QWidget *window = nullptr;
        QStatusBar *statusLine = nullptr;
        const QString *applicationTitle = nullptr;
        // A restored list's folder and name are offered again.
        Platform::FileDialogRequest *openDialog = nullptr;
        Platform::FileDialogRequest *saveDialog = nullptr;
    };

    // Follows every change of the protocol.
    RecoveryJournal(const Window &window, ProtocolController &protocol, const QString &fileName,
                    QObject *parent);
    // Every snapshot asked for is written before the window goes.
    ~RecoveryJournal() override;

    // "Wiederherstellung.txt" in the user's data folder of this program.
    static QString DefaultFileName();

    // Takes the journal's folder and asks whether to restore a journal
    // worth recovering: yes restores protocol, event name, caption and
    // lanes; no keeps that file under a dated name, which the question
    // names. A state discarded on purpose at the last exit is kept so
    // without asking. Writing starts only after this, so nothing is
    // overwritten before the operator has answered. While another running
    // copy holds the folder, this one writes nothing at all.
    void OfferRecovery(TFDlgYesNo *dialog);
    // The operator ends the program without saving its results: the next
    // start keeps them aside instead of offering them back.
    void DiscardOnPurpose();

    // Writes a snapshot of the window's state now (also at a normal exit).
    // A failure is told once in the status line; the race goes on.
    void Write();
    // Writes what the change covers.
    void Update(const ProtocolChange &change);
    // Returns when every snapshot asked for is on the disk.
    void WaitUntilWritten();

    JournalState CurrentState() const;
    QString FileName() const { return m_journal.FileName(); }
    QString LogFileName() const { return m_journal.LogFileName(); }

signals:
    // A protocol was put back: its columns may widen for its texts.
    void restored();

private:
    JournalNotes CurrentNotes() const;
    JournalChange ChangeOf(const ProtocolChange &change) const;
    // Reads what the last run left and offers it back; false when a file
    // that could not be put aside stays where the journal writes.
    bool TakeBack(TFDlgYesNo *dialog);
    void Restore(const JournalState &state);
    static QDateTime LastWritten(const QString &file);
    bool TellNotAside(const QString &file);
    void TellAtStart(const QString &text);
    void Report(bool written, const QString &error);

    void ShowNotice(const QString &text);
    // Keeps the current state under a dated name of its event before the
    // protocol is cleared or replaced, and says where.
    bool KeepUnsavedCopy();

    Window m_window;
    ProtocolController &m_protocol;
    Journal m_journal;
    bool m_writing = false;
    bool m_discarded = false;
    bool m_failureTold = false;
};
