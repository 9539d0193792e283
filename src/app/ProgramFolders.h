// Where the program finds its own files and where it works. Run from the
// build folder, its data (help, sounds, word-processor template, sample
// lists) lies next to the executable; installed, in ../share/duobahn beside
// the executable's folder. An installed program never works in a system
// folder: the web page and the protocol files must land where the user can
// write.
#pragma once

#include <QString>

struct ProgramFolders
{
    QString executable; // the folder the executable lies in
    QString data;       // help, sounds, template and sample lists
    bool installed = false;
    // The help file takes the executable's name, so a renamed program has
    // its own; the template's name is fixed.
    QString helpFile;
    QString protocolTemplate;
};

ProgramFolders FindProgramFolders(const QString &executablePath);

// The sound file to play for name: in the current folder when it is there,
// else in the data folder; "" when it is in neither.
QString FindSoundFile(const QString &name, const QString &dataFolder);

// The folder to work in: the current one, unless it is the file system's
// root, a folder of the installed system (/usr, /etc, ...) or one the user
// cannot write; then the home folder.
QString StartFolder(const QString &current, const QString &home);
