// The settings dialog on its own: the port list built from the start-up
// probe, the enabled rules, the repairs made on showing, the number ranges
// and how OK, Enter, Escape and the title bar end it.
#include "settings/Cfg.h"

#include "FakePlatform.h"
#include "settings/CertificateLayout.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {

QStringList Items(const QComboBox *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

// Shows the dialog as a modal run would, lets the action work on it and
// returns the result it ended with.
std::function<int(QDialog *)> Shown(std::function<void(TCfgDialog *)> action)
{
    return [action](QDialog *dialog) {
        auto *cfg = static_cast<TCfgDialog *>(dialog);
        cfg->setResult(-1);
        cfg->show();
        if (!QTest::qWaitForWindowExposed(cfg))
            return -2;
        cfg->activateWindow();
        if (!QTest::qWaitForWindowActive(cfg))
            return -2;
        action(cfg);
        return cfg->isVisible() ? -3 : cfg->result();
    };
}

} // namespace

class TestCfg : public QObject
{
    Q_OBJECT

    ScopedFakePlatform m_platform;
    CertificateLayout m_layout;

    void Probe(const QStringList &devices, const QStringList &absent = {})
    {
        m_platform.serialDevices = devices;
        m_platform.absentDevices = absent;
        m_platform.ProbeSerialPorts();
    }

private slots:
    void portListOffersTheProbedPorts_data()
    {
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<QStringList>("absent");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("no port") << QStringList{} << QStringList{} << QStringList{"Keine"};
        QTest::newRow("one adapter") << QStringList{"/dev/fake/ttyUSB0"} << QStringList{}
                                     << QStringList{"Keine", "COM1  /dev/fake/ttyUSB0"};
        QTest::newRow("gaps keep their numbers")
            << QStringList{"/dev/fake/ttyS1", "/dev/fake/ttyS2", "/dev/fake/ttyUSB0",
                           "/dev/fake/ttyUSB1", "/dev/fake/ttyACM0"}
            << QStringList{"/dev/fake/ttyS2", "/dev/fake/ttyUSB0", "/dev/fake/ttyUSB1"}
            << QStringList{"Keine", "COM1  /dev/fake/ttyS1", "COM5  /dev/fake/ttyACM0"};
        QTest::newRow("simulator named as such")
            << QStringList{"sim:/tmp/barrier.sock"} << QStringList{}
            << QStringList{"Keine", "COM1  sim:/tmp/barrier.sock  Lichtschranken-Simulator"};
    }
    void portListOffersTheProbedPorts()
    {
        QFETCH(QStringList, devices);
        QFETCH(QStringList, absent);
        QFETCH(QStringList, items);
        Probe(devices, absent);
        TCfgDialog dialog(m_layout);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Einstellungen"));
        QCOMPARE(Items(dialog.cbPort), items);
        QCOMPARE(Items(dialog.cbAlg), (QStringList{"Ein", "Aus", "Wechseln"}));
        const bool anyPort = items.size() > 1;
        QCOMPARE(dialog.rgBahn->isEnabled(), anyPort);
        QVERIFY(!dialog.cbAlg->isEnabled());

        dialog.cbPort->setCurrentIndex(0);
        dialog.FormShow();
        QCOMPARE(dialog.cbPort->isEnabled(), anyPort);
        QVERIFY(!dialog.cbAlg->isEnabled());
        for (int item = 1; item < items.size(); ++item) {
            const int port = items[item].mid(3, 1).toInt();
            QCOMPARE(dialog.PortItem(port), item);
            dialog.cbPort->setCurrentIndex(item);
            QCOMPARE(dialog.SelectedPort(), port);
            QVERIFY(dialog.cbAlg->isEnabled());
        }
        dialog.cbPort->setCurrentIndex(0);
        QCOMPARE(dialog.SelectedPort(), 0);
        QVERIFY(!dialog.cbAlg->isEnabled());
        QCOMPARE(dialog.PortItem(9), -1);
    }

    void showingSelectsLanesAndRepairsThePort_data()
    {
        QTest::addColumn<int>("selectedBefore");
        QTest::addColumn<int>("countBahn");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("stored port not found: the highest") << -1 << 2 << 2;
        QTest::newRow("stored port kept") << 1 << 1 << 1;
        QTest::newRow("none kept") << 0 << 2 << 0;
    }
    void showingSelectsLanesAndRepairsThePort()
    {
        QFETCH(int, selectedBefore);
        QFETCH(int, countBahn);
        QFETCH(int, selectedAfter);
        Probe({"/dev/fake/ttyS1", "/dev/fake/ttyS2", "/dev/fake/ttyS3"}, {"/dev/fake/ttyS2"});
        TCfgDialog dialog(m_layout);
        dialog.cbPort->setCurrentIndex(selectedBefore);
        dialog.CountBahn = countBahn;
        m_platform.QueueDialogResult(QDialog::Accepted);
        QCOMPARE(dialog.Execute(), int(QDialog::Accepted));
        QCOMPARE(dialog.cbPort->currentIndex(), selectedAfter);
        QCOMPARE(dialog.rgBahnIndex(), countBahn - 1);
    }

    void numberFieldsKeepTheirRanges_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("initial");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::newRow("lockout") << "seTimeout" << 2 << 1 << 600;
        QTest::newRow("laps") << "seLaps" << 3 << 0 << 100;
    }
    void numberFieldsKeepTheirRanges()
    {
        QFETCH(QString, field);
        QFETCH(int, initial);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        Probe({});
        TCfgDialog dialog(m_layout);
        QSpinBox *box = field == "seTimeout" ? dialog.seTimeout : dialog.seLaps;
        QCOMPARE(box->value(), initial);
        box->setValue(minimum - 1);
        QCOMPARE(box->value(), minimum);
        box->setValue(maximum + 1);
        QCOMPARE(box->value(), maximum);
        QCOMPARE(dialog.rgBahnIndex(), 1);
    }

    // Class choices made one after another end in the runs OK gives back;
    // "Gleichmäßigkeit" needs two runs and falls back to "Summe" without.
    void roundsTakeTheChoicesMade_data()
    {
        QTest::addColumn<int>("runs");
        QTest::addColumn<int>("scoring");
        QTest::newRow("three runs keep the spread") << 3 << int(Scoring::Consistency);
        QTest::newRow("one run falls back to the sum") << 1 << int(Scoring::Sum);
    }
    void roundsTakeTheChoicesMade()
    {
        QFETCH(int, runs);
        QFETCH(int, scoring);
        Probe({});
        TCfgDialog dialog(m_layout);
        dialog.Klassen = {"Open", "Kids", "5"};
        dialog.Rounds = {
            2, Scoring::Consistency, {{"Kids", Scoring::BestRun}, {"Alt", Scoring::Sum}}};
        dialog.FormShow();
        const auto choose = [&](int klasse, int choice) {
            dialog.cbKlasse->setCurrentIndex(klasse);
            dialog.cbKlasseWertung->setCurrentIndex(choice);
        };
        dialog.cbKlasse->setCurrentIndex(1);
        QCOMPARE(dialog.cbKlasseWertung->currentText(), QString("Bestzeit"));
        choose(1, 0); // "wie alle"
        choose(2, 2);
        choose(0, 1);
        choose(0, 3);
        dialog.cbBahnwechsel->setChecked(false);
        dialog.seWertungslaeufe->setValue(runs);
        QCOMPARE(dialog.cbWertung->count(), runs > 1 ? 3 : 2);
        QCOMPARE(dialog.cbKlasse->isEnabled(), runs > 1);
        QCOMPARE(dialog.cbBahnwechsel->isEnabled(), runs > 1);
        dialog.OKBtnClick();
        const RoundsSetup expected{
            runs,
            Scoring(scoring),
            {{"Alt", Scoring::Sum}, {"5", Scoring::BestRun}, {"Open", Scoring::Consistency}},
            false};
        QVERIFY(dialog.Rounds == expected);
    }

    void keysAndButtonsEndTheDialog_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << "OK" << int(QDialog::Accepted);
        QTest::newRow("Enter in a number field") << "Enter" << int(QDialog::Accepted);
        QTest::newRow("Abbrechen") << "Abbrechen" << int(QDialog::Rejected);
        QTest::newRow("Escape") << "Escape" << int(QDialog::Rejected);
        QTest::newRow("title bar") << "close" << int(QDialog::Rejected);
    }
    void keysAndButtonsEndTheDialog()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        Probe({"/dev/fake/ttyS1"});
        TCfgDialog dialog(m_layout);
        m_platform.dialogAnswers.enqueue(Shown([how](TCfgDialog *cfg) {
            if (how == "OK")
                QTest::mouseClick(cfg->OKBtn, Qt::LeftButton);
            else if (how == "Abbrechen")
                QTest::mouseClick(cfg->CancelBtn, Qt::LeftButton);
            else if (how == "close")
                cfg->close();
            else {
                cfg->seLaps->setFocus();
                QTest::keyClick(cfg->seLaps, how == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
            }
        }));
        QCOMPARE(dialog.Execute(), result);
    }
};

QTEST_MAIN(TestCfg)
#include "tst_Cfg.moc"
