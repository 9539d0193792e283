// Small file helpers for tests.
#include "TestFiles.h"

#include "ProtocolCells.h"

#include <QFile>
#include <QProcess>

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray PackagePart(const QString &package, const char *part)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), package, QLatin1String(part)});
    if (!unzip.waitForFinished(20000))
        return {};
    return unzip.readAllStandardOutput();
}

QString WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

const QStringList ProtocolHeaderRow = {"Nr.",        "TeamName",   "Klasse", "Fahrer",
                                       "Beifahrer1", "Beifahrer2", "Zeit",   "Strafzeit",
                                       "Total",      "Platz"};

const QStringList TrickyTeamRow = RowTexts({{ColNr, "7"},
                                            {ColTeamName, "Müller & Söhne"},
                                            {ColKlasse, "1"},
                                            {ColFahrer, "<script>"},
                                            {ColBeifahrer1, "Ann \"Flash\" Lee"},
                                            {ColZeit, "83,45"},
                                            {ColStrafzeit, "15,00"},
                                            {ColTotal, "98,45"},
                                            {ColPlatz, "1"}});
