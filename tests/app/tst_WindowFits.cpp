// The main window on the screen it gets: never larger than the screen's
// available area, every control inside the window in either lane mode, the
// digits whole, and grid cells that cut a long text with "…" and show it
// whole as their tooltip. Run once on the plain test screen and once on a
// scaled one (see tests/CMakeLists.txt).
#include "MainWindowFixture.h"
#include "app/FMain.h"
#include "settings/Cfg.h"
#include "widgets/SortGrid.h"
#include "widgets/Udigit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolTip>
#include <QtTest>

namespace {

constexpr int NameColumn = 1;

// The shown controls that lie (partly) outside the window or outside the
// panel they sit on, or whose text is wider than they are.
QStringList ControlsCutOff(QWidget *window, const QWidget *grid)
{
    QStringList cut;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        const bool ours = qobject_cast<QAbstractButton *>(control) ||
                          qobject_cast<QComboBox *>(control) || qobject_cast<QLabel *>(control) ||
                          qobject_cast<TDigit *>(control);
        if (!ours || !control->isVisibleTo(window) || grid->isAncestorOf(control))
            continue;
        const QString name = QStringLiteral("%1 \"%2\" at %3,%4 %5x%6")
                                 .arg(QString::fromLatin1(control->metaObject()->className()))
                                 .arg(control->property("text").toString())
                                 .arg(control->mapTo(window, QPoint()).x())
                                 .arg(control->mapTo(window, QPoint()).y())
                                 .arg(control->width())
                                 .arg(control->height());
        const QRect inWindow(control->mapTo(window, QPoint()), control->size());
        if (!window->rect().contains(inWindow) ||
            !control->parentWidget()->rect().contains(control->geometry()))
            cut << name;
        else if (const auto *label = qobject_cast<QLabel *>(control);
                 label && !label->text().isEmpty() && !label->wordWrap() &&
                 label->fontMetrics().horizontalAdvance(label->text()) > label->width())
            cut << name;
    }
    return cut;
}

} // namespace

class TestWindowFits : public QObject
{
    Q_OBJECT

    MainWindowFixture m_window;

    static void StoreLaneCount(int lanes)
    {
        QSettings store = ProgramSettingsStore();
        store.setValue(QStringLiteral("CountBahn"), lanes);
        store.sync();
    }

    TFormMain *ShowWindow()
    {
        TFormMain *form = m_window.Form();
        form->show();
        if (!QTest::qWaitForWindowExposed(form))
            return nullptr;
        QCoreApplication::processEvents();
        return form;
    }

private slots:
    void initTestCase() { m_window.Enter(); }
    void cleanup() { m_window.Close(); }

    void everyControlInsideTheWindow_data()
    {
        QTest::addColumn<int>("lanes");
        QTest::addColumn<int>("switchedTo");
        QTest::newRow("two lanes") << 2 << 0;
        QTest::newRow("one lane") << 1 << 0;
        QTest::newRow("two lanes, then one in the settings") << 2 << 1;
        QTest::newRow("one lane, then two in the settings") << 1 << 2;
    }
    void everyControlInsideTheWindow()
    {
        QFETCH(int, lanes);
        QFETCH(int, switchedTo);
        m_window.Open();
        m_window.Close();
        StoreLaneCount(lanes);
        m_window.Open(false);
        TFormMain *form = ShowWindow();
        QVERIFY(form);
        QCOMPARE(form->Settings.CountBahn, lanes);
        m_window.Load(
            MainWindowFixture::Teams({QStringLiteral("Blitz"), QStringLiteral("Donner")}));
        if (switchedTo) {
            m_window.Platform().dialogAnswers.enqueue([switchedTo](QDialog *dialog) {
                static_cast<TCfgDialog *>(dialog)->SetRgBahnIndex(switchedTo - 1);
                return int(QDialog::Accepted);
            });
            form->bCFG->click();
            QCOMPARE(form->Settings.CountBahn, switchedTo);
            QCoreApplication::processEvents();
        }
        const QRect available = form->screen()->availableGeometry();
        QVERIFY(form->width() <= available.width());
        QVERIFY(form->height() <= available.height());
        QCOMPARE(form->width(), std::min(808, available.width()));
        const QStringList cut = ControlsCutOff(form, form->SortGrid1);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("\n"))));
    }

    // Texts that must be read whole: the live page's port at five digits
    // beside "Anzeige im Netz", and a notice too long for the status line,
    // which stops before the barrier field instead of running under it.
    void textsShowWhole()
    {
        m_window.Open();
        TFormMain *form = ShowWindow();
        QVERIFY(form);
        TCfgDialog *dialog = form->CfgDialog;
        dialog->seAnzeigePort->setValue(18060);
        QVERIFY(dialog->seAnzeigePort->width() >= dialog->seAnzeigePort->sizeHint().width());
        QVERIFY(dialog->cbAnzeigeNetz->width() >= dialog->cbAnzeigeNetz->sizeHint().width());
        QVERIFY(!dialog->cbAnzeigeNetz->geometry().intersects(dialog->seAnzeigePort->geometry()));

        QStatusBar *line = form->statusBar();
        const QRect barrier = form->LabelBarrier->geometry();
        const QImage alone = line->grab(barrier).toImage();
        line->showMessage(QStringLiteral("Lichtschranke ") + QString(300, QLatin1Char('W')));
        QCOMPARE(line->grab(barrier).toImage(), alone);
    }

    // A name too long for its cell ends in "…" where the cell ends; its
    // tooltip shows it whole. A name that fits is drawn as it is, without one.
    void longNameIsCutWithAnEllipsis()
    {
        m_window.Open();
        TFormMain *form = ShowWindow();
        QVERIFY(form);
        const QString longName =
            QStringLiteral("Motorsportfreunde ") + QString(60, QLatin1Char('M'));
        m_window.Load(MainWindowFixture::Teams({longName, QStringLiteral("Blitz")}));
        TSortGrid *grid = form->SortGrid1;
        int row = 1;
        while (grid->Cells(NameColumn, row) != longName)
            ++row;
        const QRect cell = grid->CellRect(NameColumn, row);
        QVERIFY(cell.width() > 20);
        const QFontMetrics metrics(grid->CellFormat(NameColumn, row, {}).Font);
        QVERIFY(metrics.horizontalAdvance(longName) > cell.width());
        const QImage drawn = grid->viewport()->grab(cell).toImage();
        // The same cell holding the text cut as expected looks the same.
        grid->SetCells(NameColumn, row,
                       metrics.elidedText(longName, Qt::ElideRight, cell.width() - 4));
        QVERIFY(grid->Cells(NameColumn, row).endsWith(QChar(0x2026)));
        const QImage expected = grid->viewport()->grab(cell).toImage();
        QCOMPARE(drawn, expected);
        grid->SetCells(NameColumn, row, longName);

        QHelpEvent overLong(QEvent::ToolTip, cell.center(),
                            grid->viewport()->mapToGlobal(cell.center()));
        QCoreApplication::sendEvent(grid->viewport(), &overLong);
        QTRY_COMPARE(QToolTip::text(), longName);
        const QRect shortCell = grid->CellRect(NameColumn, row == 1 ? 2 : 1);
        QHelpEvent overShort(QEvent::ToolTip, shortCell.center(),
                             grid->viewport()->mapToGlobal(shortCell.center()));
        QCoreApplication::sendEvent(grid->viewport(), &overShort);
        QTRY_VERIFY(!QToolTip::isVisible());
    }
};

QTEST_MAIN(TestWindowFits)
#include "tst_WindowFits.moc"
