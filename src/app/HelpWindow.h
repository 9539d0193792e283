// The operator help: an HTML file next to the program, shown in a window of
// its own that stays open beside the main window.
#pragma once

#include <QDialog>

class QTextBrowser;

class HelpWindow : public QDialog
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows the help file from its start; a missing or unreadable file is
    // reported in a message box.
    void ShowContents(const QString &helpFile);

    QTextBrowser *Browser = nullptr;
};
