// A temporary folder that window tests run in: the settings store, the
// user's data folder (recovery journal), the working folder (where the
// sounds are looked for) and a German locale, so no test touches the
// user's own files and times read "83,45".
#pragma once

#include <QSettings>
#include <QTemporaryDir>

class WindowTestFolder
{
public:
    // Call once, in initTestCase.
    void Enter();
    // Forgets the settings and the journal stored so far: the next window
    // starts as on a first run.
    void ForgetSettings() const;
    // The user's data folder ($XDG_DATA_HOME) while the tests run.
    QString DataPath() const;
    QString FilePath(const QString &name) const { return m_dir.filePath(name); }
    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// The settings store of the program under test (named after the test program).
QSettings ProgramSettingsStore();
