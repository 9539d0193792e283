#include "MainWindowFixture.h"

#include "TestFiles.h"
#include "app/FMain.h"
#include "app/RecoveryJournal.h"
#include "settings/Cfg.h"
#include "widgets/SortGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

namespace {
constexpr int NameColumn = 1;
}

void MainWindowFixture::Open(bool forgetSettings)
{
    Start(forgetSettings, {});
}

void MainWindowFixture::OpenWithSerialDevices(const QStringList &devices)
{
    Start(true, devices);
}

void MainWindowFixture::Start(bool forgetSettings, const QStringList &serialDevices)
{
    PrepareMachine(forgetSettings);
    m_platform->serialDevices = serialDevices;
    m_windows = std::make_unique<ApplicationWindows>();
}

void MainWindowFixture::PrepareMachine(bool forgetSettings)
{
    m_windows.reset();
    m_platform.reset();
    if (forgetSettings)
        m_folder.ForgetSettings();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    m_platform = std::make_unique<ScopedFakePlatform>();
    m_platform->SetTick(1000000);
}

void MainWindowFixture::Close()
{
    m_windows.reset();
    m_platform.reset();
}

void MainWindowFixture::Restart()
{
    m_windows.reset();
    m_windows = std::make_unique<ApplicationWindows>();
}

void MainWindowFixture::Kill()
{
    Form()->Journal->WaitUntilWritten();
    const QDir folder = QFileInfo(RecoveryJournal::DefaultFileName()).dir();
    QHash<QString, QByteArray> left;
    for (const QString &name : folder.entryList(QDir::Files)) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        left.insert(name, file.readAll());
    }
    m_windows.reset();
    for (const QString &name : folder.entryList(QDir::Files)) {
        QFile file(folder.filePath(name));
        if (!left.contains(name)) {
            QVERIFY(file.remove());
            continue;
        }
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(left[name]), left[name].size());
    }
}

void MainWindowFixture::Quit()
{
    m_windows.reset();
}

QStringList MainWindowFixture::Teams(const QStringList &names, int teamClass)
{
    QStringList lines;
    for (int i = 0; i < names.size(); ++i)
        lines << QStringLiteral("%1\t%2\t%3\tFahrer%1").arg(i + 1).arg(names[i]).arg(teamClass);
    return lines;
}

void MainWindowFixture::Load(const QStringList &lines, const QString &fileName)
{
    Load(lines.join(QLatin1Char('\n')).toUtf8() + '\n', fileName);
}

void MainWindowFixture::Load(const QByteArray &bytes, const QString &fileName)
{
    LoadFile(WriteFile(fileName, bytes));
}

QString MainWindowFixture::WriteFile(const QString &name, const QByteArray &bytes) const
{
    return WriteAll(m_folder.FilePath(name), bytes);
}

void MainWindowFixture::LoadFile(const QString &path)
{
    m_platform->openAnswers.enqueue({true, path, 1});
    Form()->sbLoad->click();
    QVERIFY2(m_platform->openAnswers.isEmpty(), "the open dialog was not shown");
}

void MainWindowFixture::Save(const QString &path, int fileType)
{
    m_platform->saveAnswers.enqueue({true, path, fileType});
    Form()->sbSave->click();
    QVERIFY2(m_platform->saveAnswers.isEmpty(), "the save dialog was not shown");
}

QList<QStringList> MainWindowFixture::GridRows() const
{
    const TSortGrid *grid = Form()->SortGrid1;
    QList<QStringList> rows;
    for (int row = 1; row < grid->RowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid->ColCount(); ++column)
            cells << grid->Cells(column, row);
        rows << cells;
    }
    return rows;
}

QStringList MainWindowFixture::GridColumn(int column) const
{
    QStringList cells;
    for (const QStringList &row : GridRows())
        cells << row.value(column);
    return cells;
}

QStringList MainWindowFixture::TeamRow(const QString &teamName) const
{
    for (const QStringList &row : GridRows()) {
        if (row.value(NameColumn) == teamName)
            return row;
    }
    return QStringList(Form()->SortGrid1->ColCount(), QString());
}

void MainWindowFixture::PutOnLane(int lane, const QString &teamName)
{
    const qsizetype position = GridRows().indexOf(TeamRow(teamName));
    QVERIFY2(position >= 0, qPrintable(teamName));
    QComboBox *selector = lane == 1 ? Form()->cbBuhn1 : Form()->cbBuhn2;
    selector->setCurrentIndex(int(position));
    emit selector->activated(int(position));
}

QPair<QString, QString> MainWindowFixture::LaneTeams() const
{
    const auto team = [this](const QComboBox *selector) {
        const int row = selector->currentIndex() + 1;
        const TSortGrid *grid = Form()->SortGrid1;
        return selector->currentIndex() < 0 || row >= grid->RowCount()
                   ? QString()
                   : grid->Cells(NameColumn, row);
    };
    return {team(Form()->cbBuhn1), team(Form()->cbBuhn2)};
}

QString MainWindowFixture::StatusText() const
{
    return Form()->statusBar()->currentMessage();
}

void MainWindowFixture::ClickHeader(int column)
{
    if (!Form()->isVisible()) {
        Form()->resize(1000, 700);
        Form()->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form()));
    }
    TSortGrid *grid = Form()->SortGrid1;
    const QRect cell = grid->CellRect(column, 0);
    QVERIFY(!cell.isEmpty());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

void MainWindowFixture::Key(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : Form();
    if (!qt_sendShortcutOverrideEvent(target, 0, key, modifiers))
        QTest::keyClick(target, key, modifiers);
}

void MainWindowFixture::SetRounds(int runs, const QList<QPair<QString, QString>> &classScorings,
                                  std::optional<int> answer)
{
    m_platform->dialogAnswers.enqueue([runs, classScorings](QDialog *dialog) {
        auto *cfg = static_cast<TCfgDialog *>(dialog);
        cfg->seWertungslaeufe->setValue(runs);
        for (const auto &[klasse, scoring] : classScorings) {
            cfg->cbKlasse->setCurrentIndex(cfg->cbKlasse->findText(klasse));
            cfg->cbKlasseWertung->setCurrentIndex(cfg->cbKlasseWertung->findText(scoring));
        }
        cfg->OKBtn->click();
        return cfg->result();
    });
    if (answer)
        m_platform->QueueDialogResult(*answer);
    Form()->bCFG->click();
    QVERIFY2(m_platform->dialogAnswers.isEmpty(), "the settings were not shown");
}

void MainWindowFixture::AddLateEntry(const QStringList &fields)
{
    m_platform->dialogAnswers.enqueue([fields](QDialog *dialog) {
        for (int column = 0; column < fields.size(); ++column)
            dialog->findChild<QLineEdit *>(ProtocolHeaders()[column])->setText(fields[column]);
        dialog->accept();
        return dialog->result();
    });
    Form()->mNachmeldung->trigger();
    QVERIFY2(m_platform->dialogAnswers.isEmpty(), "the late entry was not asked for");
}

void MainWindowFixture::SetAside(int lane)
{
    (lane == 1 ? Form()->sbNA1 : Form()->sbNA2)->click();
}

void MainWindowFixture::ChooseRun(int run)
{
    Form()->cbLauf->setCurrentIndex(run - 1);
    emit Form()->cbLauf->activated(run - 1);
}

void MainWindowFixture::Heat(std::optional<std::uint32_t> lane1Ms,
                             std::optional<std::uint32_t> lane2Ms, bool reset)
{
    Form()->mStart->trigger();
    QVERIFY2(Form()->mSTOP1->isEnabled() || Form()->mStop2->isEnabled(), "the heat did not start");
    std::vector<std::pair<std::uint32_t, QAction *>> stops;
    if (lane1Ms)
        stops.emplace_back(*lane1Ms, Form()->mSTOP1);
    if (lane2Ms)
        stops.emplace_back(*lane2Ms, Form()->mStop2);
    std::sort(stops.begin(), stops.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    std::uint32_t elapsed = 0;
    for (const auto &[ms, stop] : stops) {
        m_platform->AdvanceTick(ms - elapsed);
        elapsed = ms;
        stop->trigger();
    }
    m_platform->AdvanceTick(5000);
    if (reset && Form()->mReset->isEnabled())
        Form()->mReset->trigger();
}

void MainWindowFixture::EditCell(int column, int row, const QString &text)
{
    QVERIFY2(Form()->cbEditON->isChecked(), "not in edit mode");
    TypeIntoCell(Form()->SortGrid1, column, row, text);
}

void TypeIntoCell(TSortGrid *grid, int column, int row, const QString &text)
{
    grid->SetRow(row);
    grid->SetCol(column);
    grid->setFocus();
    grid->SetEditorMode(true);
    QWidget *editor = grid->InplaceEditor();
    QVERIFY(editor && editor->isVisible());
    QTest::keyClick(editor, Qt::Key_End);
    for (qsizetype i = grid->Cells(column, row).size(); i > 0; --i)
        QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(grid->Cells(column, row), text);
}
