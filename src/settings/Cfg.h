// The settings dialog "Einstellungen": the light barriers' serial port and
// contact mode, the barrier lockout, the lane count and the laps, the timed
// runs per team and their scoring, and the certificate layout editor with its
// page picture. The main window fills the first controls and `Rounds` before
// the run and takes them over after OK; the dialog itself writes only into
// the certificate layout, and does so in place.
#pragma once

#include "protocol/Rounds.h"

#include <QDialog>
#include <QStringList>
#include <cstdint>

class CertificateLayout;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPainter;
class QPushButton;
class QSpinBox;
class TBitBtnWithColor;
class TPaperPreview;

class TCfgDialog : public QDialog
{
    Q_OBJECT

public:
    // Builds the controls and gives the layout's entries that were never set
    // up their defaults. The port list offers the ports the start-up probe
    // found, so the main window must have probed them already.
    explicit TCfgDialog(CertificateLayout &layout, QWidget *parent = nullptr);

    // Group "Anschluss".
    QGroupBox *GroupAnschluss = nullptr;
    QComboBox *cbPort = nullptr; // "Keine", then one item per port found
    QComboBox *cbAlg = nullptr;  // "Ein", "Aus", "Wechseln"
    QSpinBox *seTimeout = nullptr;

    QGroupBox *rgBahn = nullptr; // "1", "2"
    QSpinBox *seLaps = nullptr;
    // Live results on the race network, and their port.
    QCheckBox *cbAnzeigeNetz = nullptr;
    QSpinBox *seAnzeigePort = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // Group "Wertung": the runs per team, the scoring of every class, a
    // scoring of its own for a class of the loaded list, the lane change.
    QGroupBox *GroupWertung = nullptr;
    QSpinBox *seWertungslaeufe = nullptr;
    QComboBox *cbWertung = nullptr;       // "Summe", "Bestzeit", with 2+ runs "Gleichmäßigkeit"
    QComboBox *cbKlasse = nullptr;        // the classes of `Klassen`
    QComboBox *cbKlasseWertung = nullptr; // "wie alle", then the three scorings
    QCheckBox *cbBahnwechsel = nullptr;

    // Group "Urkunde".
    QGroupBox *GroupUrkunde = nullptr;
    QComboBox *cbWho = nullptr; // the 18 entry names
    QCheckBox *cbON = nullptr;
    QLineEdit *Edit1 = nullptr;
    QSpinBox *seLeft = nullptr;
    QSpinBox *seTop = nullptr;
    QComboBox *cbAlign = nullptr; // "Links", "Zentriert", "Rechts"
    QComboBox *cbZoom = nullptr;  // "A4", "A3": the picture's scale only
    TBitBtnWithColor *bFont = nullptr;
    TPaperPreview *PaperPreview1 = nullptr;

    // The entry whose values are in the editor controls, -1 for none.
    int CurrentEntry = -1;

    // Set by the opener before the run: the lane count selected on showing
    // and the starter list's name that "Dateiname" shows.
    int CountBahn = 2;
    QString EventName;
    // Set by the opener before the run: the classes of the loaded list and
    // the runs as they are. OK puts the choices made into `Rounds`; a class
    // choice for a class not in `Klassen` stays as it was.
    QStringList Klassen;
    RoundsSetup Rounds;

    // The port item of COMn, -1 when the probe did not find it.
    int PortItem(int port) const;
    // The port number of the selected item: 0 for "Keine" or no selection.
    int SelectedPort() const;

    int rgBahnIndex() const;
    void SetRgBahnIndex(int index);

    // Millimetres per pixel of the page picture: 1 for A4, 2 for A3.
    int PictureScale() const;

    // Shows the dialog modally through the platform; QDialog::Accepted after OK.
    int Execute();

    void FormShow();
    void cbPortChange();
    void cbWhoChange();
    void cbONClick();
    void cbAlignChange();
    void bFontClick();
    void sePosChange();
    void seWertungslaeufeChange();
    void cbKlasseChange();
    void cbKlasseWertungChange();
    void OKBtnClick();
    void PaperPreview1Paint(TPaperPreview *sender, QPainter *canvas, const QRect &pageRect);
    void PaperPreview1MouseDown(TPaperPreview *sender, Qt::MouseButton button,
                                Qt::KeyboardModifiers modifiers, const QPoint &pos);

private:
    QGroupBox *CreatePortGroup();
    QGroupBox *CreateLayoutGroup();
    QGroupBox *CreateRoundsGroup();
    void ShowRounds();
    void TakeRounds();
    void ConnectLayoutEditor();
    void FillPortList();
    void SaveEditor(int index);
    void LoadEditor(int index);
    void ShowEntryFont(const QFont &font, std::uint32_t color);

    CertificateLayout &m_layout;
    QButtonGroup *m_laneButtons = nullptr;
    // The font colour of the entry in the editor; the font dialog leaves it.
    std::uint32_t m_fontColor = 0;
    // `Rounds` while the dialog runs, with the class choices made so far.
    RoundsSetup m_rounds;
};
