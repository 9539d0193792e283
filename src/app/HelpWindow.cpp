#include "app/HelpWindow.h"

#include "platform/Platform.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Hilfe"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);
    Browser = new QTextBrowser(this);
    Browser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Browser);
    resize(640, 560);
}

void HelpWindow::ShowContents(const QString &helpFile)
{
    QFile file(helpFile);
    if (!file.open(QIODevice::ReadOnly)) {
        CurrentPlatform().MessageBox(
            parentWidget(), QStringLiteral("Hilfe"),
            QStringLiteral("Die Hilfedatei kann nicht geöffnet werden:\n") + helpFile +
                QStringLiteral("\n") + file.errorString(),
            Platform::MessageKind::Warning);
        return;
    }
    Browser->setSearchPaths({QFileInfo(helpFile).absolutePath()});
    Browser->setHtml(QString::fromUtf8(file.readAll()));
    Browser->moveCursor(QTextCursor::Start);
    show();
    raise();
    activateWindow();
}
