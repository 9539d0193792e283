// The program's one yes/no question box. It is created once and reused: a
// caller puts its question into Label1 and runs the box; result 6 ("Ja") is
// consent, anything else (2 for "Nein", Escape or the title bar) refusal.
#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;

class TFDlgYesNo : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ResultYes = 6;
    static constexpr int ResultCancel = 2;

    // An empty title uses the application name (the program's title).
    explicit TFDlgYesNo(QWidget *parent = nullptr, const QString &title = QString());

    QLabel *Label1 = nullptr;         // the question, centred and word-wrapped; "?" at first
    QLabel *Icon = nullptr;           // question mark in a speech bubble, 32 x 32
    QPushButton *OKBtn = nullptr;     // "Ja": result 6, focused and default (Enter)
    QPushButton *CancelBtn = nullptr; // "Nein": result 2, also Escape

    // Sets Label1 to the question, centres the box over its parent (or the
    // active window) and runs it through the platform; true for "Ja".
    bool Confirm(const QString &question);
    // As Confirm, for a question that must be read whole: the box widens
    // to its longest line (as far as the screen allows) and grows downwards
    // until every line of it shows, and takes its designed size again
    // afterwards.
    bool ConfirmWhole(const QString &question);

    // Moves the box to the centre of its parent's window, or of the active
    // window when it has no parent.
    void CentreOverParent();

    // The 32 x 32 question-mark picture on a transparent background.
    static QPixmap QuestionPicture();

public slots:
    void reject() override; // ends with result 2, as "Nein" does

protected:
    void showEvent(QShowEvent *event) override;

private:
    void PlaceControls(int extraWidth, int extraHeight);
};
