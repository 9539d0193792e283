// A platform for tests: a settable tick counter, recorded sound and desktop
// requests, and dialogs answered from queues so that no test ever blocks.
// Install it with a ScopedFakePlatform.
#pragma once

#include "RecordingAutomation.h"
#include "platform/Platform.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <atomic>
#include <functional>

class FakePlatform : public Platform
{
public:
    std::uint32_t TickCount() const override { return m_tick.load(); }
    void SetTick(std::uint32_t tick) { m_tick.store(tick); }
    void AdvanceTick(std::uint32_t ms) { m_tick.fetch_add(ms); }

    void PlaySoundFile(const QString &fileName) override { soundsPlayed << fileName; }
    void PlayDefaultSound() override { soundsPlayed << QStringLiteral("<default>"); }
    QStringList soundsPlayed;

    FileDialogAnswer OpenFileDialog(QWidget *, const FileDialogRequest &request) override;
    FileDialogAnswer SaveFileDialog(QWidget *, const FileDialogRequest &request) override;
    QQueue<FileDialogAnswer> openAnswers; // empty queue: the dialog is cancelled
    QQueue<FileDialogAnswer> saveAnswers;
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;

    struct Message
    {
        QString title;
        QString text;
        MessageKind kind;
    };
    void MessageBox(QWidget *, const QString &title, const QString &text, MessageKind kind) override
    {
        messages.append({title, text, kind});
    }
    QList<Message> messages;

    // Each queued answer is called with the dialog (to inspect or fill it in)
    // and returns the dialog's result; an empty queue answers 0 (cancelled).
    int ExecDialog(QDialog *dialog) override;
    QQueue<std::function<int(QDialog *)>> dialogAnswers;
    void QueueDialogResult(int result)
    {
        dialogAnswers.enqueue([result](QDialog *) { return result; });
    }
    int dialogsShown = 0;

    // Each font dialog records the font it offered and takes the next answer;
    // an empty queue cancels it.
    std::optional<QFont> FontDialog(QWidget *, const QFont &initial) override
    {
        fontRequests << initial;
        return fontAnswers.isEmpty() ? std::nullopt : fontAnswers.dequeue();
    }
    QQueue<std::optional<QFont>> fontAnswers;
    QList<QFont> fontRequests;

    bool PrintDialog(QWidget *, QPrinter *) override { return printDialogAnswer; }
    bool PrinterSetupDialog(QWidget *, QPrinter *) override
    {
        ++printerSetupsShown;
        return printDialogAnswer;
    }
    bool printDialogAnswer = false;
    int printerSetupsShown = 0;

    // Each range dialog records the pages it offers and gives the next
    // queued answer; an empty queue cancels it. An answered dialog makes
    // printDialogChoice's settings on the printer (file, paper, ...).
    std::optional<PageRange> PrintRangeDialog(QWidget *, QPrinter *printer, int lowest,
                                              int highest) override
    {
        printRangeOffers << PageRange{lowest, highest};
        if (printRangeAnswers.isEmpty())
            return std::nullopt;
        if (printDialogChoice)
            printDialogChoice(printer);
        return printRangeAnswers.dequeue();
    }
    std::function<void(QPrinter *)> printDialogChoice;
    QQueue<PageRange> printRangeAnswers;
    QList<PageRange> printRangeOffers;

    bool PrinterInstalled() override { return printerInstalled; }
    bool printerInstalled = false;
    // Every print job, painted into a PDF instead of the printer.
    void PrintPages(QPrinter *, const PagePainter &paintPages) override;
    QList<QByteArray> printedPdfs;

    // Tests never look at the machine's real serial devices: the probe
    // finds the devices listed here; those also in absentDevices do not open.
    std::uint32_t ProbeSerialPorts() override;
    QStringList serialDevices;
    QStringList absentDevices;

    bool OpenUrl(const QUrl &url) override
    {
        openedUrls << url;
        return desktopOpensUrls;
    }
    QList<QUrl> openedUrls;
    bool desktopOpensUrls = true;

    // Automation objects: recording doubles that share one log, or the
    // program's own servers; "create X" / "running X" for every request.
    AutomationRef CreateAutomationObject(const QString &className) override;
    AutomationRef RunningAutomationObject(const QString &className) override;
    enum class Automation { Recording, BuiltIn, None };
    Automation automation = Automation::Recording;
    bool automationRunning = false; // whether a recording instance is already running
    QStringList automationRequests;
    std::shared_ptr<AutomationLog> automationLog = std::make_shared<AutomationLog>();

private:
    std::atomic<std::uint32_t> m_tick{0};
};

// Installs a FakePlatform for the lifetime of this object.
class ScopedFakePlatform : public FakePlatform
{
public:
    ScopedFakePlatform() { SetCurrentPlatform(this); }
    ~ScopedFakePlatform() override { SetCurrentPlatform(nullptr); }
};
