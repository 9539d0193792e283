// The settings dialog "Einstellungen": the light barriers' serial port and
// contact mode, the barrier lockout, the lane count and the laps. The main
// window fills these controls before the run and takes them over after OK.
#pragma once

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

class TCfgDialog : public QDialog
{
    Q_OBJECT

public:
    // Builds the controls; the port list offers the ports the start-up
    // probe found, so the main window must have probed them already.
    explicit TCfgDialog(QWidget *parent = nullptr);

    // Group "Anschluss".
    QGroupBox *GroupAnschluss = nullptr;
    QComboBox *cbPort = nullptr; // "Keine", then one item per port found
    QComboBox *cbAlg = nullptr;  // "Ein", "Aus", "Wechseln"
    QSpinBox *seTimeout = nullptr;

    QGroupBox *rgBahn = nullptr; // "1", "2"
    QSpinBox *seLaps = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // Set by the opener before the run: the lane count selected on showing.
    int CountBahn = 2;

    // The port item of COMn, -1 when the probe did not find it.
    int PortItem(int port) const;
    // The port number of the selected item: 0 for "Keine" or no selection.
    int SelectedPort() const;

    int rgBahnIndex() const;
    void SetRgBahnIndex(int index);

    // Shows the dialog modally through the platform; QDialog::Accepted after OK.
    int Execute();

    void FormShow();
    void cbPortChange();
    void OKBtnClick();

private:
    QGroupBox *CreatePortGroup();
    void FillPortList();

    QButtonGroup *m_laneButtons = nullptr;
};
