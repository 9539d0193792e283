#include "platform/QtPlatform.h"

#include "comms/Comms.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSoundEffect>

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform()
{
    qDeleteAll(m_sounds);
}

std::uint32_t QtPlatform::TickCount() const
{
    return SteadyTickCount();
}

void QtPlatform::PlaySoundFile(const QString &fileName)
{
    const QString path = QDir::current().absoluteFilePath(fileName);
    QSoundEffect *effect = m_sounds.value(path);
    if (!effect) {
        effect = new QSoundEffect;
        effect->setSource(QUrl::fromLocalFile(path));
        m_sounds.insert(path, effect);
    }
    effect->play();
}

void QtPlatform::PlayDefaultSound()
{
    QApplication::beep();
}

QStringList QtPlatform::QtFilters(const QString &filter)
{
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString &name = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        result << (name.endsWith(u'(' + patterns + u')') ? name : name + " (" + patterns + u')');
    }
    return result;
}

namespace {

QFileDialog *makeFileDialog(QWidget *parent, const Platform::FileDialogRequest &request)
{
    auto *dialog = new QFileDialog(parent, request.title, request.folder);
    const QStringList filters = QtPlatform::QtFilters(request.filter);
    dialog->setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog->selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.fileName.isEmpty())
        dialog->selectFile(request.fileName);
    dialog->setDefaultSuffix(request.defaultSuffix);
    // A name typed without extension gets the one of the chosen type, so a
    // protocol saved as "MS Excel" is not called ".txt".
    if (!request.defaultSuffix.isEmpty()) {
        const auto followFilter = [dialog](const QString &name) {
            static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
            const QRegularExpressionMatch match = pattern.match(name);
            if (match.hasMatch())
                dialog->setDefaultSuffix(match.captured(1));
        };
        QObject::connect(dialog, &QFileDialog::filterSelected, dialog, followFilter);
        followFilter(dialog->selectedNameFilter());
    }
    return dialog;
}

Platform::FileDialogAnswer runFileDialog(QFileDialog *dialog)
{
    Platform::FileDialogAnswer answer;
    answer.accepted = dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty();
    if (answer.accepted) {
        answer.fileName = dialog->selectedFiles().constFirst();
        answer.filterIndex = dialog->nameFilters().indexOf(dialog->selectedNameFilter()) + 1;
    }
    delete dialog;
    return answer;
}

} // namespace

Platform::FileDialogAnswer QtPlatform::OpenFileDialog(QWidget *parent,
                                                      const FileDialogRequest &request)
{
    QFileDialog *dialog = makeFileDialog(parent, request);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(dialog);
}

Platform::FileDialogAnswer QtPlatform::SaveFileDialog(QWidget *parent,
                                                      const FileDialogRequest &request)
{
    QFileDialog *dialog = makeFileDialog(parent, request);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    return runFileDialog(dialog);
}

void QtPlatform::MessageBox(QWidget *parent, const QString &title, const QString &text,
                            MessageKind kind)
{
    const QMessageBox::Icon icon = kind == MessageKind::Error     ? QMessageBox::Critical
                                   : kind == MessageKind::Warning ? QMessageBox::Warning
                                                                  : QMessageBox::Information;
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

int QtPlatform::ExecDialog(QDialog *dialog)
{
    return dialog->exec();
}

std::optional<QFont> QtPlatform::FontDialog(QWidget *parent, const QFont &initial)
{
    bool accepted = false;
    const QFont chosen = QFontDialog::getFont(&accepted, initial, parent);
    if (!accepted)
        return std::nullopt;
    return chosen;
}

bool QtPlatform::PrintDialog(QWidget *parent, QPrinter *printer)
{
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<Platform::PageRange> QtPlatform::PrintRangeDialog(QWidget *parent, QPrinter *printer,
                                                                int lowest, int highest)
{
    QPrintDialog dialog(printer, parent);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange);
    dialog.setMinMax(lowest, highest);
    printer->setPrintRange(QPrinter::AllPages);
    printer->setFromTo(lowest, highest);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (printer->printRange() != QPrinter::PageRange)
        return PageRange{lowest, highest};
    return PageRange{printer->fromPage(), printer->toPage()};
}

bool QtPlatform::PrinterSetupDialog(QWidget *parent, QPrinter *printer)
{
    QPrintDialog dialog(printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setWindowTitle(QStringLiteral("Druckereinrichtung"));
    return dialog.exec() == QDialog::Accepted;
}

bool QtPlatform::PrinterInstalled()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void QtPlatform::PrintPages(QPrinter *printer, const PagePainter &paintPages)
{
    paintPages(printer);
}

std::uint32_t QtPlatform::ProbeSerialPorts()
{
    return ::ProbeSerialPorts();
}

bool QtPlatform::OpenUrl(const QUrl &url)
{
    return SystemDesktop().OpenUrl(url);
}

std::shared_ptr<AutomationObject> QtPlatform::CreateAutomationObject(const QString &className)
{
    return SystemDesktop().CreateAutomationObject(className);
}

std::shared_ptr<AutomationObject> QtPlatform::RunningAutomationObject(const QString &className)
{
    return SystemDesktop().RunningAutomationObject(className);
}
