// The main window's recovery journal.
#include "app/RecoveryJournal.h"

#include "app/DlgYesNo.h"
#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "protocol/StarterList.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

RecoveryJournal::RecoveryJournal(TFormMain *form, const QString &fileName)
    : QObject(form), m_form(form), m_journal(fileName)
{
    connect(form->Protocol, &ProtocolController::protocolChanged, this, &RecoveryJournal::Write);
}

QString RecoveryJournal::DefaultFileName()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("Wiederherstellung.txt"));
}

void RecoveryJournal::OfferRecovery(TFDlgYesNo *dialog)
{
    JournalState state;
    const Journal::Found found = m_journal.Read(state);
    // A file that could not be kept aside is never overwritten: the
    // journal then stays off for this run (and that is told).
    if (found == Journal::Found::Damaged) {
        const QString kept = PutAside(QFileInfo(m_journal.FileName()).lastModified());
        if (kept.isEmpty())
            return;
        m_form->ShowNotice(QStringLiteral("Wiederherstellungsdatei unlesbar, aufbewahrt als ") +
                           kept);
    } else if (found == Journal::Found::Readable && WorthRecovering(state)) {
        if (dialog && dialog->Confirm(RecoveryQuestion(state)))
            Restore(state);
        else if (PutAside(state.stamp).isEmpty())
            return;
    }
    m_writing = true;
    Write();
}

QString RecoveryJournal::PutAside(const QDateTime &stamp)
{
    const QString kept = m_journal.PutAside(stamp);
    if (kept.isEmpty())
        m_form->ShowNotice(QStringLiteral("Wiederherstellungsdatei nicht beiseitegelegt: ") +
                           m_journal.FileName());
    return kept;
}

void RecoveryJournal::Restore(const JournalState &state)
{
    ProtocolController *protocol = m_form->Protocol;
    protocol->RestoreProtocol(state.rows, state.lane1, state.lane2, state.unsaved);
    protocol->EventName = state.eventName;
    protocol->ListPath = state.listPath;
    m_form->setWindowTitle(state.caption);
    if (!state.listPath.isEmpty()) {
        m_form->SaveDialog1.fileName = PathWithoutExtension(state.listPath);
        m_form->OpenDialog1.folder = QFileInfo(state.listPath).absolutePath();
    }
}

JournalState RecoveryJournal::CurrentState() const
{
    const ProtocolController *protocol = m_form->Protocol;
    JournalState state;
    state.rows = protocol->Table();
    state.eventName = protocol->EventName;
    state.listPath = protocol->ListPath;
    state.caption = m_form->windowTitle();
    state.lane1 = m_form->cbBuhn1->currentIndex();
    state.lane2 = m_form->cbBuhn2->currentIndex();
    state.unsaved = protocol->ProtocolModified();
    state.stamp = QDateTime::currentDateTime();
    return state;
}

void RecoveryJournal::Write()
{
    if (!m_writing)
        return;
    QString error;
    if (m_journal.Write(CurrentState(), &error)) {
        m_failureTold = false;
        return;
    }
    if (m_failureTold)
        return;
    m_failureTold = true;
    m_form->ShowNotice(QStringLiteral("Wiederherstellungsdatei nicht geschrieben: %1 (%2)")
                           .arg(m_journal.FileName(), error));
}
