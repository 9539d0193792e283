// The group "Wertung" of the settings dialog: how many timed runs a team
// has, how every class scores them, a scoring of its own for a class of the
// loaded list, and whether the lanes change between runs. The choices are
// kept in the dialog's own copy of the runs until OK.
#include "settings/Cfg.h"

#include "settings/CfgControls.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>

namespace {

// "Gleichmäßigkeit" compares runs: it needs two of them and is offered
// last, after the scorings that one run has.
constexpr int ScoringsWithOneRun = int(Scoring::Consistency);
// cbKlasseWertung's data for "wie alle".
constexpr int AsEveryClass = -1;

} // namespace

QGroupBox *TCfgDialog::CreateRoundsGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Wertung"), this);
    seWertungslaeufe = AddNumberField(group, 1, MaxRuns, 1);
    seWertungslaeufe->setGeometry(110, 20, 50, 24);
    AddLabel(QStringLiteral("Wertungsläufe:"), group, 12, 24, seWertungslaeufe);
    connect(seWertungslaeufe, &QSpinBox::valueChanged, this, &TCfgDialog::seWertungslaeufeChange);

    cbWertung = new QComboBox(group);
    cbWertung->setGeometry(250, 20, 140, 24);
    for (int scoring = 0; scoring < ScoringsWithOneRun; ++scoring)
        cbWertung->addItem(ScoringName(Scoring(scoring)), scoring);
    AddLabel(QStringLiteral("Wertung:"), group, 190, 24, cbWertung);

    cbBahnwechsel = new QCheckBox(QStringLiteral("Bahnwechsel"), group);
    cbBahnwechsel->setGeometry(405, 21, 106, 22);
    cbBahnwechsel->setToolTip(QStringLiteral("Jeder Lauf auf der anderen Bahn als der vorige"));

    cbKlasse = new QComboBox(group);
    cbKlasse->setGeometry(110, 50, 130, 24);
    AddLabel(QStringLiteral("Klasse:"), group, 12, 54, cbKlasse);
    connect(cbKlasse, &QComboBox::currentIndexChanged, this, &TCfgDialog::cbKlasseChange);

    cbKlasseWertung = new QComboBox(group);
    cbKlasseWertung->setGeometry(250, 50, 140, 24);
    cbKlasseWertung->setToolTip(QStringLiteral("Wertung dieser Klasse"));
    cbKlasseWertung->addItem(QStringLiteral("wie alle"), AsEveryClass);
    for (int scoring = 0; scoring < ScoringCount; ++scoring)
        cbKlasseWertung->addItem(ScoringName(Scoring(scoring)), scoring);
    connect(cbKlasseWertung, &QComboBox::currentIndexChanged, this,
            &TCfgDialog::cbKlasseWertungChange);
    return group;
}

void TCfgDialog::ShowRounds()
{
    m_rounds = Rounds;
    {
        const QSignalBlocker blocker(cbKlasse);
        cbKlasse->clear();
        cbKlasse->addItems(Klassen);
    }
    cbKlasse->view()->setMinimumWidth(cbKlasse->view()->sizeHintForColumn(0) + 8);
    cbBahnwechsel->setChecked(m_rounds.laneChange);
    {
        // The offer of the scorings follows the runs before one is selected.
        const QSignalBlocker blocker(seWertungslaeufe);
        seWertungslaeufe->setValue(m_rounds.runs);
    }
    seWertungslaeufeChange();
    // With one run "Gleichmäßigkeit" is not offered: "Summe" stands for it.
    cbWertung->setCurrentIndex(std::max(0, cbWertung->findData(int(m_rounds.scoring))));
    cbKlasse->setCurrentIndex(cbKlasse->count() > 0 ? 0 : -1);
    cbKlasseChange();
}

void TCfgDialog::seWertungslaeufeChange()
{
    const bool severalRuns = seWertungslaeufe->value() > 1;
    if (severalRuns && cbWertung->count() == ScoringsWithOneRun)
        cbWertung->addItem(ScoringName(Scoring::Consistency), int(Scoring::Consistency));
    if (!severalRuns && cbWertung->count() > ScoringsWithOneRun) {
        if (cbWertung->currentIndex() == ScoringsWithOneRun)
            cbWertung->setCurrentIndex(int(Scoring::Sum));
        cbWertung->removeItem(ScoringsWithOneRun);
    }
    cbBahnwechsel->setEnabled(severalRuns);
    const bool classChoice = severalRuns && cbKlasse->count() > 0;
    cbKlasse->setEnabled(classChoice);
    cbKlasseWertung->setEnabled(classChoice);
}

// Shows the choice of the class selected.
void TCfgDialog::cbKlasseChange()
{
    const QString klasse = cbKlasse->currentText();
    const auto &choices = m_rounds.classScoring;
    const auto choice = std::find_if(choices.begin(), choices.end(),
                                     [&](const auto &entry) { return entry.first == klasse; });
    const int picked = choice != choices.end() ? int(choice->second) : AsEveryClass;
    const QSignalBlocker blocker(cbKlasseWertung);
    cbKlasseWertung->setCurrentIndex(cbKlasseWertung->findData(picked));
}

// Keeps the choice for the class selected: "wie alle" drops it, another one
// takes the class's place in the list or is added at its end.
void TCfgDialog::cbKlasseWertungChange()
{
    if (cbKlasse->currentIndex() < 0)
        return;
    const QString klasse = cbKlasse->currentText();
    auto &choices = m_rounds.classScoring;
    const auto choice = std::find_if(choices.begin(), choices.end(),
                                     [&](const auto &entry) { return entry.first == klasse; });
    const int picked = cbKlasseWertung->currentData().toInt();
    if (picked == AsEveryClass) {
        if (choice != choices.end())
            choices.erase(choice);
    } else if (choice != choices.end()) {
        choice->second = Scoring(picked);
    } else {
        choices.emplace_back(klasse, Scoring(picked));
    }
}

void TCfgDialog::TakeRounds()
{
    m_rounds.runs = seWertungslaeufe->value();
    m_rounds.scoring = Scoring(cbWertung->currentData().toInt());
    m_rounds.laneChange = cbBahnwechsel->isChecked();
    Rounds = m_rounds;
}
