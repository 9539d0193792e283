// The certificate layout editor of the settings dialog: what each entry
// shows when chosen, what reaches the record when leaving it or on OK, the
// font button, placing by mouse and the colours and places of the page picture.
#include "settings/Cfg.h"

#include "FakePlatform.h"
#include "WindowTestFolder.h"
#include "print/PaperPreview.h"
#include "settings/CertificateLayout.h"
#include "widgets/ButtonWithColor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

namespace {

enum Entry { Platz = 0, TeamName = 1, Dateiname = 7, Line1 = 8, Line2 = 9, Line3 = 10 };

// Pixels of the picture drawn in a colour, as a bounding box.
QRect InkOf(TPaperPreview *picture, const QColor &colour)
{
    const QImage image = picture->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

} // namespace

class TestCfgLayoutEditor : public QObject
{
    Q_OBJECT

    WindowTestFolder m_folder;
    ScopedFakePlatform m_platform;

    // A dialog on a fresh layout, shown once as its opener would.
    struct Editor
    {
        CertificateLayout layout;
        TCfgDialog dialog{layout};
        Editor(int entry = Platz)
        {
            dialog.cbWho->setCurrentIndex(entry);
            dialog.FormShow();
            dialog.show();
        }
        LayoutEntry &operator[](int i) { return layout.Entries[i]; }
        void Choose(int entry) { dialog.cbWho->setCurrentIndex(entry); }
    };

    // Only this entry is on the page: the others are moved out of sight.
    static void OnlyOnPage(Editor &editor, int entry)
    {
        for (int i = 0; i < CertificateLayout::EntryCount; ++i)
            if (i != entry)
                editor[i].Top = 990;
    }

private slots:
    void initTestCase()
    {
        m_folder.Enter();
        m_platform.ProbeSerialPorts();
    }

    void creationGivesEmptyEntriesTheirDefaults()
    {
        CertificateLayout layout;
        layout.Entries[3].FontName = QStringLiteral("Arial");
        layout.Entries[3].Top = 5;
        TCfgDialog dialog(layout);
        QCOMPARE(dialog.cbWho->count(), 18);
        QCOMPARE(dialog.cbWho->itemText(17), QStringLiteral("10. Zeile"));
        QCOMPARE(dialog.cbWho->currentIndex(), 0);
        QCOMPARE(dialog.bFont->size(), QSize(151, 48));
        QCOMPARE(dialog.PaperPreview1->PaperWidth(), 212);
        QCOMPARE(dialog.PaperPreview1->PaperHeight(), 292);
        QCOMPARE(layout.Entries[17].FontName, QStringLiteral("Times New Roman"));
        QCOMPARE(layout.Entries[17].FontSize, 12);
        QCOMPARE(layout.Entries[17].Top, 272);
        QCOMPARE(layout.Entries[3].Top, 5); // set up before: left alone
    }

    void choosingAnEntryShowsIt_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("storedText");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("focused");
        const QString today = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
        QTest::newRow("TeamName") << int(TeamName) << "Blitz"
                                  << "Blitz" << false << false;
        QTest::newRow("Dateiname: the starter list") << int(Dateiname) << "alt"
                                                     << "Renntag" << false << false;
        QTest::newRow("1. Zeile: always today") << int(Line1) << "alt" << today << true << false;
        QTest::newRow("3. Zeile empty: the prompt") << int(Line3) << ""
                                                    << "3. Zeile drucken" << true << true;
        QTest::newRow("2. Zeile prompt stays a prompt") << int(Line2) << "9. Zeile drucken"
                                                        << "2. Zeile drucken" << true << true;
        QTest::newRow("2. Zeile with a text") << int(Line2) << "Sieger"
                                              << "Sieger" << true << false;
    }
    void choosingAnEntryShowsIt()
    {
        QFETCH(int, entry);
        QFETCH(QString, storedText);
        QFETCH(QString, shown);
        QFETCH(bool, editable);
        QFETCH(bool, focused);
        Editor editor;
        editor.dialog.EventName = QStringLiteral("Renntag");
        editor[entry].Text = storedText;
        QVERIFY(QTest::qWaitForWindowExposed(&editor.dialog));
        editor.dialog.OKBtn->setFocus();
        editor.Choose(entry);
        QCOMPARE(editor.dialog.CurrentEntry, entry);
        QCOMPARE(editor.dialog.Edit1->text(), shown);
        QCOMPARE(editor.dialog.Edit1->isEnabled(), editable);
        QCOMPARE(editor.dialog.focusWidget() == editor.dialog.Edit1, focused);
    }

    void leavingAnEntryStoresTheEditor_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("TeamName stores no text") << int(TeamName) << ""
                                                 << "";
        QTest::newRow("3. Zeile stores the word") << int(Line3) << "Sieger"
                                                  << "Sieger";
        QTest::newRow("cut to 255") << int(Line2) << QString(300, 'x') << QString(255, 'x');
    }
    void leavingAnEntryStoresTheEditor()
    {
        QFETCH(int, entry);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Editor editor;
        editor[TeamName].Text = QStringLiteral("Blitz"); // printing left it there
        editor.Choose(entry);
        if (!typed.isEmpty()) // over the prompt
            QTest::keyClicks(editor.dialog.Edit1, typed);
        editor.dialog.seLeft->setValue(123);
        editor.dialog.seTop->setValue(45);
        QCOMPARE(editor[entry].Left, 30); // position waits for the switch
        editor.dialog.cbON->setChecked(true);
        QCOMPARE(editor[entry].On, 1); // printing on/off does not
        editor.Choose(Platz);
        QCOMPARE(editor[entry].Text, stored);
        QCOMPARE(editor[entry].Left, 123);
        QCOMPARE(editor[entry].Top, 45);
        QCOMPARE(editor[entry].FontSize, 12);
        QCOMPARE(editor[entry].FontStyle, std::uint8_t(lfBold));
        QCOMPARE(editor[entry].FontColor, LayoutEntry::WindowTextColor);
    }

    void okStoresTheEntryInTheEditor()
    {
        Editor editor(Line2);
        editor.dialog.Edit1->setText(QStringLiteral("Gewinner"));
        editor.dialog.seTop->setValue(200);
        editor.dialog.cbAlign->setCurrentIndex(laRight);
        QCOMPARE(editor[Line2].Alignment, laRight); // at once
        QTest::mouseClick(editor.dialog.OKBtn, Qt::LeftButton);
        QCOMPARE(editor.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(editor[Line2].Text, QStringLiteral("Gewinner"));
        QCOMPARE(editor[Line2].Top, 200);
    }

    void fontButtonShowsTwiceTheEntrySize_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("18 pt chosen") << true;
        QTest::newRow("dialog cancelled") << false;
    }
    void fontButtonShowsTwiceTheEntrySize()
    {
        QFETCH(bool, confirmed);
        Editor editor;
        QCOMPARE(editor.dialog.bFont->font().pointSize(), 24);
        QFont chosen(QStringLiteral("Liberation Sans"));
        chosen.setPointSize(18);
        chosen.setItalic(true);
        m_platform.fontRequests.clear();
        if (confirmed)
            m_platform.fontAnswers.enqueue(chosen);
        QTest::mouseClick(editor.dialog.bFont, Qt::LeftButton);
        QCOMPARE(m_platform.fontRequests.size(), 1);
        QCOMPARE(m_platform.fontRequests[0].pointSize(), 12);
        QCOMPARE(editor.dialog.bFont->font().pointSize(), confirmed ? 36 : 24);
        editor.Choose(TeamName);
        QCOMPARE(editor[Platz].FontSize, confirmed ? 18 : 12);
        QCOMPARE(editor[Platz].FontName,
                 confirmed ? QStringLiteral("Liberation Sans") : QStringLiteral("Times New Roman"));
        QCOMPARE(editor[Platz].FontStyle, std::uint8_t(confirmed ? lfItalic : lfBold));
        editor.Choose(Platz);
        QCOMPARE(editor.dialog.bFont->font().pointSize(), confirmed ? 36 : 24);
    }

    // "Times New Roman" is installed here under another name: the dialog
    // offers the typeface the certificate prints with, and a changed size
    // keeps it.
    void fontDialogOffersTheTypefaceThatPrints()
    {
        Editor editor(TeamName);
        const QFontInfo printed(QFont(QStringLiteral("Times New Roman"), 12, QFont::Bold));
        m_platform.fontRequests.clear();
        QFont answer;
        m_platform.fontAnswers.enqueue(std::nullopt);
        QTest::mouseClick(editor.dialog.bFont, Qt::LeftButton);
        QCOMPARE(m_platform.fontRequests.size(), 1);
        answer = m_platform.fontRequests[0];
        QCOMPARE(answer.family(), printed.family());
        QVERIFY(answer.bold());
        QVERIFY(!answer.italic());
        QCOMPARE(answer.pointSize(), 12);
        answer.setPointSize(14); // the operator changes only the size
        m_platform.fontAnswers.enqueue(answer);
        QTest::mouseClick(editor.dialog.bFont, Qt::LeftButton);
        editor.Choose(Platz);
        QCOMPARE(editor[TeamName].FontName, printed.family());
        QCOMPARE(editor[TeamName].FontStyle, std::uint8_t(lfBold));
        QCOMPARE(editor[TeamName].FontSize, 14);
        QCOMPARE(QFontInfo(QFont(editor[TeamName].FontName)).family(), printed.family());
    }

    // The caption shows the entry's font at twice its size, as large as the
    // button can show it whole.
    void fontButtonCaptionStaysWhole_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("8 pt") << 8;
        QTest::newRow("12 pt") << 12;
        QTest::newRow("18 pt") << 18;
        QTest::newRow("72 pt") << 72;
    }
    void fontButtonCaptionStaysWhole()
    {
        QFETCH(int, pointSize);
        Editor editor(TeamName);
        editor[Platz].FontSize = pointSize;
        editor.Choose(Platz);
        QCOMPARE(editor.dialog.bFont->font().pointSize(), 2 * pointSize);
        const QImage face = editor.dialog.bFont->grab().toImage();
        const QRect inside = face.rect().adjusted(2, 2, -2, -2);
        QRect ink;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if (qGray(face.pixel(x, y)) < 96)
                    ink |= QRect(x, y, 1, 1);
        QVERIFY2(inside.adjusted(1, 1, -1, -1).contains(ink),
                 qPrintable(QStringLiteral("caption drawn over %1,%2 %3x%4")
                                .arg(ink.x())
                                .arg(ink.y())
                                .arg(ink.width())
                                .arg(ink.height())));
        QVERIFY(ink.width() > face.width() / (pointSize < 12 ? 4 : 2));
    }

    void clickOnThePagePlacesTheEntry_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("A4") << 0 << Qt::LeftButton << QPoint(50, 100) << QPoint(50, 100);
        QTest::newRow("A3, right button")
            << 1 << Qt::RightButton << QPoint(50, 100) << QPoint(100, 200);
    }
    void clickOnThePagePlacesTheEntry()
    {
        QFETCH(int, zoom);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, click);
        QFETCH(QPoint, position);
        Editor editor;
        editor.dialog.cbZoom->setCurrentIndex(zoom);
        QTest::mouseClick(editor.dialog.PaperPreview1, button, {}, click);
        QCOMPARE(editor.dialog.seLeft->value(), position.x());
        QCOMPARE(editor.dialog.seTop->value(), position.y());
    }

    void pictureShowsEntriesWhereTheyPrint_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QPoint>("at"); // Left, Top in millimetres
        QTest::addColumn<int>("leftEdge");
        QTest::addColumn<int>("rightEdge"); // -1: not checked
        QTest::newRow("A4 left") << 0 << int(laLeft) << QPoint(40, 60) << 40 << -1;
        QTest::newRow("A3 at half") << 1 << int(laLeft) << QPoint(80, 120) << 40 << -1;
        QTest::newRow("right-aligned ends at Left")
            << 0 << int(laRight) << QPoint(180, 60) << -1 << 180;
    }
    void pictureShowsEntriesWhereTheyPrint()
    {
        QFETCH(int, zoom);
        QFETCH(int, alignment);
        QFETCH(QPoint, at);
        QFETCH(int, leftEdge);
        QFETCH(int, rightEdge);
        Editor editor(Line2); // the selected entry is drawn where the editor says
        OnlyOnPage(editor, Platz);
        editor[Platz].Left = at.x();
        editor[Platz].Top = at.y();
        editor[Platz].Alignment = std::uint8_t(alignment);
        editor.dialog.cbZoom->setCurrentIndex(zoom);
        const QRect ink = InkOf(editor.dialog.PaperPreview1, Green);
        QVERIFY(!ink.isEmpty());
        const int scale = zoom + 1;
        QVERIFY2(ink.top() >= at.y() / scale && ink.top() <= at.y() / scale + 6,
                 qPrintable(QString::number(ink.top())));
        if (leftEdge >= 0)
            QVERIFY2(qAbs(ink.left() - leftEdge) <= 2, qPrintable(QString::number(ink.left())));
        if (rightEdge >= 0)
            QVERIFY2(qAbs(ink.right() - rightEdge) <= 3, qPrintable(QString::number(ink.right())));
    }

    void selectedEntryFollowsTheEditorLive()
    {
        Editor editor(Line2);
        OnlyOnPage(editor, Line2);
        editor[Line2].On = 1;
        editor.dialog.seLeft->setValue(100);
        editor.dialog.seTop->setValue(150);
        QRect ink = InkOf(editor.dialog.PaperPreview1, Green);
        QVERIFY(qAbs(ink.left() - 100) <= 2 && qAbs(ink.top() - 150) <= 6);
        const int promptWidth = ink.width();
        editor.dialog.Edit1->setText(QStringLiteral("i"));
        ink = InkOf(editor.dialog.PaperPreview1, Green);
        QVERIFY(ink.width() < promptWidth / 4);
    }

    void uncheckingTurnsTheEntryRedAtOnce()
    {
        Editor editor;
        OnlyOnPage(editor, Platz);
        QVERIFY(!InkOf(editor.dialog.PaperPreview1, Green).isEmpty());
        QVERIFY(InkOf(editor.dialog.PaperPreview1, Red).isEmpty());
        QTest::mouseClick(editor.dialog.cbON, Qt::LeftButton, {},
                          QPoint(6, editor.dialog.cbON->height() / 2));
        QCOMPARE(editor[Platz].On, 0);
        QVERIFY(InkOf(editor.dialog.PaperPreview1, Green).isEmpty());
        QVERIFY(!InkOf(editor.dialog.PaperPreview1, Red).isEmpty());
    }
};

QTEST_MAIN(TestCfgLayoutEditor)
#include "tst_CfgLayoutEditor.moc"
