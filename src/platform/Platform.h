// The window's door to the operating system: clock, sounds, dialogs,
// message boxes and the desktop. The main window and the components reach
// it through CurrentPlatform(); tests install a fake that answers dialogs
// from a queue, so nothing ever blocks. The parts below the window see only
// its clock and its desktop (TickClock, Desktop).
#pragma once

#include "platform/Desktop.h"
#include "platform/TickClock.h"

#include <QFont>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class QDialog;
class QPrinter;
class QPagedPaintDevice;
class QWidget;

class Platform : public TickClock, public Desktop
{
public:
    // Plays a sound file from the current folder without blocking the caller.
    virtual void PlaySoundFile(const QString &fileName) = 0;
    // The system's default sound, for when a sound file is missing.
    virtual void PlayDefaultSound() = 0;

    // Filters use the "Name (*.ext)|*.ext|..." form; indices are 1-based.
    struct FileDialogRequest
    {
        QString title;
        QString folder;
        QString fileName;
        QString filter;
        QString defaultSuffix;
        int filterIndex = 1;
    };
    struct FileDialogAnswer
    {
        bool accepted = false;
        QString fileName;
        int filterIndex = 1;
    };
    virtual FileDialogAnswer OpenFileDialog(QWidget *parent, const FileDialogRequest &request) = 0;
    virtual FileDialogAnswer SaveFileDialog(QWidget *parent, const FileDialogRequest &request) = 0;

    // A box with one OK button.
    enum class MessageKind { Information, Warning, Error };
    virtual void MessageBox(QWidget *parent, const QString &title, const QString &text,
                            MessageKind kind) = 0;

    // Runs a dialog modally and returns its result code.
    virtual int ExecDialog(QDialog *dialog) = 0;

    // The font dialog offering a font: the chosen font, or none when cancelled.
    virtual std::optional<QFont> FontDialog(QWidget *parent, const QFont &initial) = 0;

    virtual bool PrintDialog(QWidget *parent, QPrinter *printer) = 0;
    // The print dialog offering the pages lowest..highest, all of them
    // preset. The chosen printer goes into `printer`; the answer is the
    // pages chosen (the whole offer when "all" stays chosen), none when
    // the dialog is cancelled.
    struct PageRange
    {
        int from = 0;
        int to = 0;
    };
    virtual std::optional<PageRange> PrintRangeDialog(QWidget *parent, QPrinter *printer,
                                                      int lowest, int highest) = 0;
    virtual bool PrinterSetupDialog(QWidget *parent, QPrinter *printer) = 0;
    // Whether the desktop knows any printer at all.
    virtual bool PrinterInstalled() = 0;
    // Runs a job that paints its pages on the printer the print dialog set up.
    using PagePainter = std::function<void(QPagedPaintDevice *)>;
    virtual void PrintPages(QPrinter *printer, const PagePainter &paintPages) = 0;

    // Finds the serial ports COM1..COM9 (the start-up probe of the serial
    // component); the result has one bit per port and the highest port in
    // the high half.
    virtual std::uint32_t ProbeSerialPorts() = 0;
};

// The platform in use; the real one unless a test installed another.
Platform &CurrentPlatform();
// Installs a platform, its clock and its desktop for the parts below the
// window too (nullptr restores the real ones). The caller keeps ownership.
void SetCurrentPlatform(Platform *platform);
