// Small file helpers for tests: whole files written and read back, and
// the protocol rows the file and export tests share.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The file's bytes, or "<unreadable>".
QByteArray ReadAll(const QString &path);
// Writes the bytes or ends the test program (a test folder must be writable).
QString WriteAll(const QString &path, const QByteArray &bytes);

// One member of an .xlsx (zip) package, empty when unzip is missing.
QByteArray PackagePart(const QString &package, const char *part);

// The ten column titles of the protocol.
extern const QStringList ProtocolHeaderRow;
// A team with blanks inside names, umlauts, markup characters, a quoted
// nickname, a time with a comma and an empty second co-driver.
extern const QStringList TrickyTeamRow;
