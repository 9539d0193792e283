// The real program on a fake platform, for the window tests: the windows
// built as main() builds them, lists loaded through the open dialog, heats
// run with the keys on a fake clock, and the protocol read back as the
// operator sees it. One fixture per test program: Enter() in initTestCase,
// Open() in init, Close() in cleanup.
#pragma once

#include "FakePlatform.h"
#include "WindowTestFolder.h"
#include "app/ApplicationWindows.h"

#include <QLocale>
#include <QPair>
#include <QStringList>
#include <memory>
#include <optional>

class TFormMain;
class TSortGrid;

// Types the text into the grid's cell through its in-place editor (the
// grid in edit mode, its window shown) and presses Return.
void TypeIntoCell(TSortGrid *grid, int column, int row, const QString &text);

class MainWindowFixture
{
public:
    void Enter() { m_folder.Enter(); }
    // A new program on first-run settings (forgetSettings = false keeps the
    // settings and the recovery journal of the previous one).
    void Open(bool forgetSettings = true);
    // The same on a machine whose serial probe finds these devices (COM1, ...).
    void OpenWithSerialDevices(const QStringList &devices);
    void Close();
    // The fake platform and the folder of a new program, not started yet,
    // so that a test can set up the machine first (stored settings, serial
    // devices); Restart() then starts the program.
    void PrepareMachine(bool forgetSettings = true);
    // Builds the program's windows once more on the same platform and
    // folder, as a restart does (or for the first time after PrepareMachine).
    void Restart();
    // Ends the program as a kill does: the windows go, and the recovery
    // journal's files stay as its last change left them (a normal exit
    // would write them once more). Restart() then starts it again.
    void Kill();
    // Ends the program as the operator does: the windows go and write what
    // they write at exit. Restart() then starts it again.
    void Quit();

    TFormMain *Form() const { return m_windows->FormMain; }
    ApplicationWindows &Windows() const { return *m_windows; }
    ScopedFakePlatform &Platform() const { return *m_platform; }
    const WindowTestFolder &Folder() const { return m_folder; }

    // The number format the program runs under ("3,12" in German, "3.12"
    // in C and English); the fixture starts each program in German.
    static void UseLocale(const QLocale &locale) { QLocale::setDefault(locale); }

    // Writes the lines as a starter list file and loads it through
    // "Starterliste öffnen" and its dialog, as the operator does.
    void Load(const QStringList &lines, const QString &fileName = QStringLiteral("Liste.txt"));
    // The same with the file's bytes as they are (line ends, encoding).
    void Load(const QByteArray &bytes, const QString &fileName);
    // Loads the file through "Starterliste öffnen" and its dialog.
    void LoadFile(const QString &path);
    // Writes the bytes as a file of the test folder and returns its path.
    QString WriteFile(const QString &name, const QByteArray &bytes) const;
    // Saves the protocol through the save button and its dialog, in the
    // dialog's filter index of the file type (SaveDialogIndex).
    void Save(const QString &path, int fileType);
    // Teams "nr\tname\tclass\tFahrer<nr>" of one class, numbered from 1.
    static QStringList Teams(const QStringList &names, int teamClass = 1);

    // The protocol's rows as shown, top to bottom, each its ten cells.
    QList<QStringList> GridRows() const;
    // One column of the protocol as shown, top to bottom.
    QStringList GridColumn(int column) const;
    // The row of the team with this name ("" cells when there is none).
    QStringList TeamRow(const QString &teamName) const;
    // Chooses the team in the lane's selector (1 or 2), as the operator does.
    void PutOnLane(int lane, const QString &teamName);
    // The team names selected on lane 1 and lane 2 ("" for none).
    QPair<QString, QString> LaneTeams() const;
    QString StatusText() const;
    // A click on the protocol's header cell of the column, which sorts by
    // it; shows the window first when it is not shown yet.
    void ClickHeader(int column);

    // One heat through the key entries: F5 at the current tick, each lane
    // stopped (Alt+1 / Alt+2) after its time in ms (none: left running),
    // then the reset (Alt+0) when asked and available.
    void Heat(std::optional<std::uint32_t> lane1Ms, std::optional<std::uint32_t> lane2Ms,
              bool reset = true);
    // A key as the window receives it (shortcuts included).
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Several runs per team through the settings dialog: the runs, and for
    // classes of the loaded list a scoring of their own by its name; a
    // question that follows (other runs on a protocol with results) gets
    // the answer given.
    void SetRounds(int runs, const QList<QPair<QString, QString>> &classScorings = {},
                   std::optional<int> answer = std::nullopt);
    // A late entry through the key entry Strg+N and its dialog: "Nr.", "TeamName", "Klasse", ...
    void AddLateEntry(const QStringList &fields);
    // "n.a." beside the lane (1 or 2): its team did not come to the start.
    void SetAside(int lane);
    // Chooses the run the next heat records in "Lauf k von N".
    void ChooseRun(int run);
    // In edit mode ("Änderungen vornehmen" checked): types the text into the
    // cell through the grid's in-place editor and presses Return.
    void EditCell(int column, int row, const QString &text);

private:
    void Start(bool forgetSettings, const QStringList &serialDevices);

    WindowTestFolder m_folder;
    std::unique_ptr<ScopedFakePlatform> m_platform;
    std::unique_ptr<ApplicationWindows> m_windows;
};
