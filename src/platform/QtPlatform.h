// The real platform: steady clock, Qt Multimedia, Qt dialogs and the desktop.
#pragma once

#include "platform/Platform.h"

#include <QHash>
#include <memory>

class QSoundEffect;

class QtPlatform : public Platform
{
public:
    QtPlatform();
    ~QtPlatform() override;

    std::uint32_t TickCount() const override;
    void PlaySoundFile(const QString &fileName) override;
    void PlayDefaultSound() override;
    FileDialogAnswer OpenFileDialog(QWidget *parent, const FileDialogRequest &request) override;
    FileDialogAnswer SaveFileDialog(QWidget *parent, const FileDialogRequest &request) override;
    void MessageBox(QWidget *parent, const QString &title, const QString &text,
                    MessageKind kind) override;
    int ExecDialog(QDialog *dialog) override;
    std::optional<QFont> FontDialog(QWidget *parent, const QFont &initial) override;
    bool PrintDialog(QWidget *parent, QPrinter *printer) override;
    std::optional<PageRange> PrintRangeDialog(QWidget *parent, QPrinter *printer, int lowest,
                                              int highest) override;
    bool PrinterSetupDialog(QWidget *parent, QPrinter *printer) override;
    bool PrinterInstalled() override;
    void PrintPages(QPrinter *printer, const PagePainter &paintPages) override;
    std::uint32_t ProbeSerialPorts() override;
    bool OpenUrl(const QUrl &url) override;
    std::shared_ptr<AutomationObject> CreateAutomationObject(const QString &className) override;
    std::shared_ptr<AutomationObject> RunningAutomationObject(const QString &className) override;

    // "Name (*.txt)|*.txt|Other (*.csv)|*.csv" -> the Qt filter list.
    static QStringList QtFilters(const QString &filter);

private:
    QHash<QString, QSoundEffect *> m_sounds;
};
