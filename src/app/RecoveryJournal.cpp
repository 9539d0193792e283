// The main window's recovery journal.
#include "app/RecoveryJournal.h"

#include "app/DlgYesNo.h"
#include "app/FreedMemory.h"
#include "app/ProtocolController.h"
#include "platform/Platform.h"
#include "protocol/RegularFile.h"
#include "protocol/StarterList.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStatusBar>
#include <algorithm>

RecoveryJournal::RecoveryJournal(const Window &window, ProtocolController &protocol,
                                 const QString &fileName, QObject *parent)
    : QObject(parent), m_window(window), m_protocol(protocol), m_journal(fileName)
{
    connect(&protocol, &ProtocolController::protocolChanged, this, &RecoveryJournal::Update);
    protocol.KeepUnsavedResults = [this] { return KeepUnsavedCopy(); };
    m_journal.SetBackgroundOutcome([this](bool written, const QString &error) {
        // Off the GUI thread: the rows a load or ranking replaced are freed
        // by now, and handing their pages back keeps reloads from growing.
        ReturnFreedMemory();
        QMetaObject::invokeMethod(
            this, [this, written, error] { Report(written, error); }, Qt::QueuedConnection);
    });
}

RecoveryJournal::~RecoveryJournal()
{
    m_journal.WaitUntilWritten();
}

QString RecoveryJournal::DefaultFileName()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("Wiederherstellung.txt"));
}

void RecoveryJournal::OfferRecovery(TFDlgYesNo *dialog)
{
    // Another running copy keeps its own state here: this one leaves it
    // alone, even the files it is writing just now.
    if (!m_journal.TakeFolder()) {
        TellAtStart(QStringLiteral(
            "Duobahn läuft bereits: dieses Fenster sichert nichts für die Wiederherstellung"));
        return;
    }
    // Snapshots a crash cut off before they replaced the last one.
    RemoveInterruptedWrites(m_journal.FileName());
    if (!TakeBack(dialog))
        return;
    m_writing = true;
    Write();
}

// A file that could not be put aside is never overwritten: the journal
// then stays off for this run (and that is told).
bool RecoveryJournal::TakeBack(TFDlgYesNo *dialog)
{
    JournalState state;
    int unreadableEntry = 0;
    const Journal::Found found = m_journal.Read(state, &unreadableEntry);
    if (found == Journal::Found::Nothing)
        return true;
    if (found == Journal::Found::Damaged) {
        const QString aside = m_journal.PutAside(LastWritten(m_journal.FileName()));
        if (aside.isEmpty())
            return TellNotAside(m_journal.FileName());
        TellAtStart(QStringLiteral("Wiederherstellungsdatei unlesbar, aufbewahrt als ") + aside);
        return true;
    }
    if (unreadableEntry > 0) {
        const QString aside = m_journal.PutLogAside(LastWritten(m_journal.LogFileName()));
        if (aside.isEmpty())
            return TellNotAside(m_journal.LogFileName());
        TellAtStart(
            QStringLiteral("Änderungsprotokoll ab Eintrag %1 unlesbar: beiseitegelegt als %2")
                .arg(unreadableEntry)
                .arg(aside));
    }
    if (!WorthRecovering(state))
        return true;
    // Discarded at the last exit on purpose: kept, without a question.
    if (!state.discarded && dialog &&
        dialog->ConfirmWhole(RecoveryQuestion(state, m_journal.KeptName(state)))) {
        Restore(state);
        return true;
    }
    const QString kept = m_journal.KeepAside(state);
    if (kept.isEmpty())
        return TellNotAside(m_journal.FileName());
    // After "Nein" the question has said where.
    if (state.discarded)
        ShowNotice(QStringLiteral("Letzter Stand aufbewahrt unter ") + kept);
    return true;
}

QDateTime RecoveryJournal::LastWritten(const QString &file)
{
    return QFileInfo(file).lastModified();
}

bool RecoveryJournal::TellNotAside(const QString &file)
{
    TellAtStart(QStringLiteral("Wiederherstellungsdatei nicht beiseitegelegt: ") + file);
    return false;
}

// Before any race, in a box: a notice of the status line may soon give way
// to the next.
void RecoveryJournal::TellAtStart(const QString &text)
{
    ShowNotice(text);
    CurrentPlatform().MessageBox(m_window.window, *m_window.applicationTitle, text,
                                 Platform::MessageKind::Warning);
}

void RecoveryJournal::DiscardOnPurpose()
{
    m_discarded = true;
}

void RecoveryJournal::Restore(const JournalState &state)
{
    m_protocol.RestoreProtocol(state.rows, state.startOrder, state.lane1, state.lane2,
                               state.unsaved, state.runs, state.currentRun);
    m_protocol.EventName = state.eventName;
    m_protocol.ListPath = state.listPath;
    m_window.window->setWindowTitle(state.caption);
    // As after the list was loaded: every column wide enough for its texts.
    emit restored();
    if (!state.listPath.isEmpty()) {
        m_window.saveDialog->fileName = PathWithoutExtension(state.listPath);
        m_window.openDialog->folder = QFileInfo(state.listPath).absolutePath();
    }
    m_protocol.FocusStartWhenReady();
}

JournalNotes RecoveryJournal::CurrentNotes() const
{
    JournalNotes notes;
    notes.eventName = m_protocol.EventName;
    notes.listPath = m_protocol.ListPath;
    notes.caption = m_window.window->windowTitle();
    notes.lane1 = m_protocol.Model().LaneRow(0);
    notes.lane2 = m_protocol.Model().LaneRow(1);
    notes.unsaved = m_protocol.ProtocolModified();
    notes.discarded = m_discarded;
    notes.stamp = QDateTime::currentDateTime();
    notes.runs = m_protocol.Model().Runs();
    notes.currentRun = m_protocol.Model().CurrentRun();
    return notes;
}

JournalState RecoveryJournal::CurrentState() const
{
    JournalState state;
    static_cast<JournalNotes &>(state) = CurrentNotes();
    state.rows = m_protocol.Model().Table();
    state.startOrder = m_protocol.StartOrder();
    return state;
}

JournalChange RecoveryJournal::ChangeOf(const ProtocolChange &change) const
{
    JournalChange recorded;
    recorded.notes = CurrentNotes();
    std::vector<int> rows = change.rows;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const ProtocolModel &model = m_protocol.Model();
    for (const int row : rows) {
        const std::size_t index = std::size_t(row);
        recorded.rows.emplace_back(index, model.Row(row));
        recorded.startOrder.emplace_back(index, model.StartPlaces()[index]);
    }
    return recorded;
}

void RecoveryJournal::Write()
{
    if (!m_writing)
        return;
    QString error;
    // Read from the model's columns: a long list is not copied row by row.
    const ProtocolModel &model = m_protocol.Model();
    Report(m_journal.Write(CurrentNotes(), model.Columns(), model.StartOrder(), &error), error);
}

void RecoveryJournal::WaitUntilWritten()
{
    m_journal.WaitUntilWritten();
}

// Rows that only moved or came from a file are still in the last snapshot
// and its log, or in the file, until the new snapshot lands: that one may
// be written behind the window's back, and notes alone (the lanes' teams,
// the saved mark, the run) may follow such a snapshot: a crash meanwhile
// loses no result. Anything else is on the disk before the handler returns.
void RecoveryJournal::Update(const ProtocolChange &change)
{
    if (!m_writing)
        return;
    const bool notesOnly = !change.wholeTable && change.rows.empty();
    if (change.wholeTable && !change.cellsEdited)
        m_journal.WriteInBackground(CurrentNotes(), m_protocol.Model().Columns(),
                                    m_protocol.StartOrder());
    else if (notesOnly ? !m_journal.AppendNotes(ChangeOf(change))
                       : change.wholeTable || !m_journal.Append(ChangeOf(change)))
        Write();
    else
        Report(true, {});
}

// Results the operator clears or loads over without saving them are kept
// just as those left unsaved at the last exit.
bool RecoveryJournal::KeepUnsavedCopy()
{
    const JournalState state = CurrentState();
    const QString kept = m_journal.KeepCopy(state);
    if (kept.isEmpty()) {
        ShowNotice(QStringLiteral("Nicht ausgeführt: der letzte Stand kann nicht aufbewahrt "
                                  "werden unter ") +
                   m_journal.KeptName(state));
        return false;
    }
    ShowNotice(QStringLiteral("Letzter Stand aufbewahrt unter ") + kept);
    return true;
}

void RecoveryJournal::ShowNotice(const QString &text)
{
    m_window.statusLine->showMessage(text);
}

void RecoveryJournal::Report(bool written, const QString &error)
{
    if (written) {
        m_failureTold = false;
        return;
    }
    if (m_failureTold)
        return;
    m_failureTold = true;
    ShowNotice(QStringLiteral("Wiederherstellungsdatei nicht geschrieben: %1 (%2)")
                   .arg(m_journal.FileName(), error));
}
