// The yes/no box: its fixed layout, the answers Ja / Nein / Escape / title
// bar through the platform seam, centring, and the question text rules.
#include "app/DlgYesNo.h"

#include "FakePlatform.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

using Answer = std::function<int(TFDlgYesNo *)>;

// Shows the box (as a modal run would), lets the answer act on it, and
// returns the result the box ended with.
std::function<int(QDialog *)> Shown(Answer answer)
{
    return [answer](QDialog *dialog) {
        auto *box = static_cast<TFDlgYesNo *>(dialog);
        box->setResult(0);
        box->show();
        if (!QTest::qWaitForWindowExposed(box))
            return -1;
        box->activateWindow();
        if (!QTest::qWaitForWindowActive(box))
            return -1;
        const int answerResult = answer(box);
        return answerResult != 0 ? answerResult : box->result();
    };
}

// Rows of the label that hold text (pixels clearly darker than the background).
QList<int> InkedRows(QLabel *label)
{
    const QImage image = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                rows << y;
                break;
            }
    return rows;
}

} // namespace

class TestDlgYesNo : public QObject
{
    Q_OBJECT
private slots:
    void layout()
    {
        TFDlgYesNo box(nullptr, QStringLiteral("duobahn"));
        QCOMPARE(box.size(), QSize(222, 94));
        QCOMPARE(box.minimumSize(), QSize(222, 94));
        QCOMPARE(box.maximumSize(), QSize(222, 94));
        QCOMPARE(box.windowTitle(), QStringLiteral("duobahn"));
        QVERIFY(box.windowFlags() & Qt::WindowStaysOnTopHint);

        QCOMPARE(box.Label1->geometry(), QRect(40, 6, 169, 49));
        QCOMPARE(box.Label1->text(), QStringLiteral("?"));
        QCOMPARE(box.Label1->alignment(), Qt::AlignCenter);
        QVERIFY(box.Label1->wordWrap());
        QCOMPARE(box.Icon->geometry(), QRect(4, 14, 32, 32));
        QCOMPARE(box.OKBtn->geometry(), QRect(39, 60, 75, 25));
        QCOMPARE(box.OKBtn->text(), QStringLiteral("Ja"));
        QVERIFY(box.OKBtn->isDefault());
        QCOMPARE(box.CancelBtn->geometry(), QRect(135, 60, 75, 25));
        QCOMPARE(box.CancelBtn->text(), QStringLiteral("Nein"));
        QCOMPARE(box.OKBtn->nextInFocusChain(), box.CancelBtn);
    }

    void titleDefaultsToApplicationName()
    {
        TFDlgYesNo box;
        QCOMPARE(box.windowTitle(), QCoreApplication::applicationName());
        QVERIFY(!box.windowTitle().isEmpty());
    }

    // Our own picture: transparent around the bubble, a white bubble, a blue mark.
    void questionPicture()
    {
        const QImage picture =
            TFDlgYesNo::QuestionPicture().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(picture.size() / TFDlgYesNo::QuestionPicture().devicePixelRatio(), QSize(32, 32));
        QCOMPARE(qAlpha(picture.pixel(picture.width() - 1, picture.height() - 1)), 0);
        QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);
        int blue = 0;
        int white = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb p = picture.pixel(x, y);
                blue += qAlpha(p) == 255 && qBlue(p) > 180 && qRed(p) < 60 && qGreen(p) < 60;
                white += p == qRgba(255, 255, 255, 255);
            }
        QVERIFY2(blue > 25, qPrintable(QString::number(blue)));
        QVERIFY(white > 200);
    }

    void answers_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("consent");
        QTest::newRow("Ja clicked") << Answer([](TFDlgYesNo *box) {
            box->OKBtn->click();
            return 0;
        }) << 6 << true;
        QTest::newRow("Nein clicked") << Answer([](TFDlgYesNo *box) {
            box->CancelBtn->click();
            return 0;
        }) << 2 << false;
        QTest::newRow("Enter on the focused Ja") << Answer([](TFDlgYesNo *box) {
            if (QApplication::focusWidget() != box->OKBtn)
                return -1;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            return 0;
        }) << 6 << true;
        QTest::newRow("Escape") << Answer([](TFDlgYesNo *) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            return 0;
        }) << 2 << false;
        QTest::newRow("title bar close") << Answer([](TFDlgYesNo *box) {
            box->close();
            return 0;
        }) << 2 << false;
        QTest::newRow("Tab to Nein, Space") << Answer([](TFDlgYesNo *box) {
            QTest::keyClick(box->OKBtn, Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            return 0;
        }) << 2 << false;
    }
    void answers()
    {
        QFETCH(Answer, answer);
        QFETCH(int, result);
        QFETCH(bool, consent);
        ScopedFakePlatform platform;
        TFDlgYesNo box(nullptr, QStringLiteral("duobahn"));
        int seen = 0;
        platform.dialogAnswers.enqueue([&](QDialog *dialog) {
            seen = Shown(answer)(dialog);
            return seen;
        });
        QCOMPARE(box.Confirm(QStringLiteral("Beenden?")), consent);
        QCOMPARE(seen, result);
        QCOMPARE(platform.dialogsShown, 1);
        QVERIFY(!box.isVisible());
    }

    void unansweredBoxIsRefusal()
    {
        ScopedFakePlatform platform; // an empty queue answers 0
        TFDlgYesNo box;
        QVERIFY(!box.Confirm(QStringLiteral("Zeile entfernen?")));
    }

    void keepsTheLastQuestion()
    {
        ScopedFakePlatform platform;
        TFDlgYesNo box;
        QString asked;
        auto record = [&](QDialog *dialog) {
            asked = static_cast<TFDlgYesNo *>(dialog)->Label1->text();
            return 2;
        };
        platform.dialogAnswers.enqueue(record);
        box.Confirm(QStringLiteral("Zeitenprotokoll  löschen?"));
        QCOMPARE(asked, QStringLiteral("Zeitenprotokoll  löschen?"));
        QCOMPARE(box.Label1->text(), QStringLiteral("Zeitenprotokoll  löschen?"));

        // A caller that shows the box without setting a question sees the last one.
        platform.dialogAnswers.enqueue(record);
        CurrentPlatform().ExecDialog(&box);
        QCOMPARE(asked, QStringLiteral("Zeitenprotokoll  löschen?"));
    }

    void centredOverParent()
    {
        ScopedFakePlatform platform;
        QWidget main;
        main.setGeometry(130, 90, 700, 500);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        TFDlgYesNo box(&main);
        QPoint centre;
        platform.dialogAnswers.enqueue([&](QDialog *dialog) {
            centre = dialog->frameGeometry().center();
            return 6;
        });
        QVERIFY(box.Confirm(QStringLiteral("Beenden?")));
        QVERIFY2((centre - main.frameGeometry().center()).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));

        // Shown for real, it is centred too, even after the main window moved.
        main.move(300, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY((box.frameGeometry().center() - main.frameGeometry().center()).manhattanLength() <=
                2);
        QCOMPARE(box.size(), QSize(222, 94));
        box.reject();
    }

    // A short question is centred vertically; a long one wraps, shows its first
    // lines from the top and is cut off at the label's bottom, and the box
    // keeps its size.
    void questionWrapsAndIsCutOff()
    {
        TFDlgYesNo box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));

        box.Label1->setText(QStringLiteral("Beenden?"));
        QList<int> rows = InkedRows(box.Label1);
        QVERIFY(!rows.isEmpty());
        const int middle = (rows.first() + rows.last()) / 2;
        QVERIFY2(qAbs(middle - 24) <= 4, qPrintable(QString::number(middle)));

        const QString longQuestion = QStringLiteral(
            "Sollen wirklich alle Zeiten dieses Renntages aus dem Protokoll entfernt werden, "
            "obwohl sie noch nicht gespeichert und auch nicht gedruckt worden sind?");
        box.Label1->setText(longQuestion);
        QCOMPARE(box.Label1->geometry(), QRect(40, 6, 169, 49));
        QCOMPARE(box.size(), QSize(222, 94));
        rows = InkedRows(box.Label1);
        const int lineHeight = box.Label1->fontMetrics().height();
        const int wholeLines = 49 / lineHeight;
        QVERIFY(wholeLines >= 2);
        QVERIFY2(rows.first() < lineHeight / 2 + 2, qPrintable(QString::number(rows.first())));
        // Several lines, but none drawn partly: the rows after the last whole line stay empty.
        QVERIFY(rows.last() >= (wholeLines - 1) * lineHeight);
        QVERIFY2(
            rows.last() < wholeLines * lineHeight,
            qPrintable(QStringLiteral("%1 >= %2").arg(rows.last()).arg(wholeLines * lineHeight)));
        box.reject();
    }
};

QTEST_MAIN(TestDlgYesNo)
#include "tst_DlgYesNo.moc"
