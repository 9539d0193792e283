// The settings dialog: its controls, the port list from the start-up probe,
// showing and OK. The certificate layout editor lives in CfgLayoutEditor.cpp.
#include "settings/Cfg.h"

#include "comms/Comms.h"
#include "comms/SerialPortList.h"
#include "platform/Platform.h"
#include "settings/CertificateLayout.h"
#include "settings/CfgControls.h"
#include "widgets/ButtonWithColor.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace {

constexpr int DialogWidth = 535;
constexpr int DialogHeight = 594;

// "COM1  /dev/ttyUSB0  FT232R USB UART": the number is what is stored, the
// device and its description let the operator recognise the adapter.
QString PortItemText(int port)
{
    const QString device = SerialDeviceName(port);
    QString text = QStringLiteral("COM%1  %2").arg(port).arg(device);
    const QString description = SerialDeviceDescription(device);
    if (!description.isEmpty())
        text += QStringLiteral("  ") + description;
    return text;
}

} // namespace

TCfgDialog::TCfgDialog(CertificateLayout &layout, QWidget *parent)
    : QDialog(parent), m_layout(layout)
{
    setObjectName(QStringLiteral("CfgDialog"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(DialogWidth, DialogHeight);

    GroupAnschluss = CreatePortGroup();
    GroupAnschluss->setGeometry(8, 6, 300, 112);

    rgBahn = new QGroupBox(QStringLiteral("Rennspur"), this);
    rgBahn->setGeometry(318, 6, 207, 46);
    m_laneButtons = new QButtonGroup(this);
    for (int lane = 0; lane < 2; ++lane) {
        auto *item = new QRadioButton(QString::number(lane + 1), rgBahn);
        item->setGeometry(12 + lane * 98, 20, 80, 20);
        m_laneButtons->addButton(item, lane);
    }
    SetRgBahnIndex(1);

    seLaps = AddNumberField(this, 0, 100, 3);
    seLaps->setGeometry(380, 64, 60, 24);
    AddLabel(QStringLiteral("Runden:"), this, 320, 68, seLaps);

    seAnzeigePort = AddNumberField(this, 1, 65535, 8080);
    seAnzeigePort->setPrefix(QStringLiteral("Port "));
    seAnzeigePort->setToolTip(QStringLiteral("Port der Anzeige im Netz"));
    // A port is typed, never stepped through: without the arrows the field
    // has room for "Port 65535" beside its check box. As wide as that needs
    // in this style and font, right-aligned with the lane group; the check
    // box takes what is left of the row.
    seAnzeigePort->setButtonSymbols(QAbstractSpinBox::NoButtons);
    const int portWidth = seAnzeigePort->sizeHint().width();
    seAnzeigePort->setGeometry(525 - portWidth, 95, portWidth, 24);
    cbAnzeigeNetz = new QCheckBox(QStringLiteral("Anzeige im Netz"), this);
    cbAnzeigeNetz->setGeometry(320, 96, 525 - portWidth - 4 - 320, 22);

    GroupWertung = CreateRoundsGroup();
    GroupWertung->setGeometry(8, 124, 519, 82);

    GroupUrkunde = CreateLayoutGroup();
    GroupUrkunde->setGeometry(8, 212, 519, 340);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setGeometry(DialogWidth - 176, DialogHeight - 34, 80, 26);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TCfgDialog::OKBtnClick);
    CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelBtn->setGeometry(DialogWidth - 88, DialogHeight - 34, 80, 26);
    CancelBtn->setAutoDefault(false);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    FillPortList();
    // The lane count only matters to barriers; without a port it stays as stored.
    rgBahn->setEnabled(cbPort->count() > 1);
    m_layout.ApplyDefaults(bFont->font().pointSize());
    ConnectLayoutEditor();
}

QGroupBox *TCfgDialog::CreatePortGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Anschluss"), this);
    cbPort = new QComboBox(group);
    cbPort->setGeometry(90, 20, 198, 24);
    cbPort->setToolTip(QStringLiteral("LS-Start:4-6, LS-Stop:7-8"));
    AddLabel(QStringLiteral("Porten:"), group, 12, 24, cbPort);
    connect(cbPort, &QComboBox::currentIndexChanged, this, &TCfgDialog::cbPortChange);

    cbAlg = new QComboBox(group);
    cbAlg->setGeometry(90, 50, 110, 24);
    cbAlg->addItems({QStringLiteral("Ein"), QStringLiteral("Aus"), QStringLiteral("Wechseln")});
    cbAlg->setEnabled(false);
    AddLabel(QStringLiteral("Kontakt:"), group, 12, 54, cbAlg);

    seTimeout = AddNumberField(group, 1, 600, 2);
    seTimeout->setGeometry(90, 80, 60, 24);
    AddLabel(QStringLiteral("LS gesperrt:"), group, 12, 84, seTimeout);
    AddLabel(QStringLiteral("sek."), group, 156, 84);
    return group;
}

void TCfgDialog::FillPortList()
{
    cbPort->addItem(QStringLiteral("Keine"), 0);
    const std::uint32_t available = AvailablePorts();
    const int highest = int(available >> 16);
    for (int port = 1; port <= highest; ++port) {
        if (available & (1u << (port - 1)))
            cbPort->addItem(PortItemText(port), port);
    }
    // Long device descriptions stay readable in the open list.
    cbPort->view()->setMinimumWidth(cbPort->view()->sizeHintForColumn(0) + 8);
}

int TCfgDialog::PortItem(int port) const
{
    return port > 0 ? cbPort->findData(port) : 0;
}

int TCfgDialog::SelectedPort() const
{
    return cbPort->currentIndex() > 0 ? cbPort->currentData().toInt() : 0;
}

int TCfgDialog::rgBahnIndex() const
{
    return m_laneButtons->checkedId();
}

void TCfgDialog::SetRgBahnIndex(int index)
{
    if (QAbstractButton *item = m_laneButtons->button(index))
        item->setChecked(true);
}

int TCfgDialog::Execute()
{
    FormShow();
    return CurrentPlatform().ExecDialog(this);
}

void TCfgDialog::FormShow()
{
    CurrentEntry = -1;
    cbWhoChange();
    SetRgBahnIndex(CountBahn - 1);
    ShowRounds();
    // The stored port was not found at start: offer the highest port found
    // (or "Keine"), which OK then switches the barriers to.
    if (cbPort->currentIndex() < 0)
        cbPort->setCurrentIndex(cbPort->count() - 1);
    cbPort->setEnabled(cbPort->count() > 1);
}

void TCfgDialog::cbPortChange()
{
    cbAlg->setEnabled(cbPort->currentIndex() > 0);
}

void TCfgDialog::OKBtnClick()
{
    cbWhoChange(); // the editor's last edits reach the entry
    TakeRounds();
    accept();
}
