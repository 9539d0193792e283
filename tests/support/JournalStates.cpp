#include "JournalStates.h"

#include "ProtocolCells.h"

ProtocolRow Row(const QStringList &cells)
{
    ProtocolRow row;
    for (int i = 0; i < cells.size(); ++i)
        row[i] = cells[i];
    return row;
}

JournalState RaceDay()
{
    JournalState state;
    state.rows = {Row({{ColNr, "1"},
                       {ColTeamName, "Die Blitze"},
                       {ColKlasse, "1"},
                       {ColFahrer, "Anna"},
                       {ColBeifahrer1, " "},
                       {ColZeit, "12,34"},
                       {ColStrafzeit, "0,00"},
                       {ColTotal, "12,34"},
                       {ColPlatz, "1"}}),
                  Row({{ColNr, "2"},
                       {ColTeamName, "Grüne Flöhe"},
                       {ColKlasse, "1"},
                       {ColFahrer, "Jürgen"},
                       {ColBeifahrer1, "Eva"},
                       {ColBeifahrer2, "Ida"},
                       {ColZeit, "AUS"},
                       {ColStrafzeit, "AUS"},
                       {ColTotal, "AUS"},
                       {ColPlatz, "AUS"}}),
                  Row({"3", "Schnecken", "2", "Tim"})};
    state.eventName = QStringLiteral("Mai 2024");
    state.listPath = QStringLiteral("/daten/Mai 2024.txt");
    state.caption = QStringLiteral("duobahn: Mai 2024");
    state.lane1 = 2;
    state.lane2 = 0;
    state.unsaved = true;
    state.stamp = QDateTime(QDate(2026, 12, 7), QTime(23, 1, 59, 123));
    state.startOrder = {1, 2, 0};
    return state;
}

JournalState WithRows(ProtocolTable rows)
{
    JournalState state = RaceDay();
    state.rows = std::move(rows);
    state.startOrder.clear();
    return state;
}

JournalChange Change(std::vector<std::pair<std::size_t, ProtocolRow>> rows)
{
    JournalChange change;
    change.notes = RaceDay();
    change.notes.lane1 = 1;
    change.notes.stamp = change.notes.stamp.addSecs(60);
    change.rows = std::move(rows);
    return change;
}

JournalState Applied(JournalState state, const QList<JournalChange> &changes)
{
    for (const JournalChange &change : changes) {
        if (!ApplyJournalChange(state, change))
            qFatal("change does not apply");
    }
    return state;
}
