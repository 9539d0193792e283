// The stored values of the timed runs and the protocol's view of them. Apart
// from MainSettings.cpp so that the settings reader stays free of the rules
// of scoring (the fuzz target builds the reader alone).
#include "app/MainSettings.h"

#include "protocol/Rounds.h"

static_assert(MaxRuns == 4, "the stored run count is read as 1-4");

RoundsSetup RoundsOf(const MainSettings &settings)
{
    RoundsSetup rounds;
    rounds.runs = settings.Wertungslaeufe;
    rounds.scoring = Scoring(settings.Wertung);
    rounds.classScoring = ReadClassScoring(settings.WertungKlassen);
    rounds.laneChange = settings.Bahnwechsel != 0;
    return rounds;
}

void StoreRounds(MainSettings &settings, const RoundsSetup &rounds)
{
    settings.Wertungslaeufe = rounds.runs;
    settings.Wertung = int(rounds.scoring);
    settings.WertungKlassen = ClassScoringText(rounds.classScoring);
    settings.Bahnwechsel = rounds.laneChange ? 1 : 0;
}
