// The certificate layout editor of the settings dialog: one entry at a time
// in the editor controls, saved back when another entry is chosen or on OK,
// and the page picture that shows every entry where it will be printed.
#include "settings/Cfg.h"

#include "platform/Platform.h"
#include "print/PaperPreview.h"
#include "settings/CertificateLayout.h"
#include "settings/CfgControls.h"
#include "widgets/ButtonWithColor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>

namespace {

const QColor EntryOnColour(0, 128, 0);
const QColor EntryOffColour(255, 0, 0);

std::uint8_t FontStyleBits(const QFont &font)
{
    return std::uint8_t((font.bold() ? lfBold : 0) | (font.italic() ? lfItalic : 0) |
                        (font.underline() ? lfUnderline : 0) |
                        (font.strikeOut() ? lfStrikeOut : 0));
}

// The entry's font as the font button shows it: at twice the entry's size.
QFont ButtonFont(const LayoutEntry &entry)
{
    QFont font(entry.FontName);
    font.setPointSize(qMax(1, entry.FontSize * 2));
    font.setBold(entry.FontStyle & lfBold);
    font.setItalic(entry.FontStyle & lfItalic);
    font.setUnderline(entry.FontStyle & lfUnderline);
    font.setStrikeOut(entry.FontStyle & lfStrikeOut);
    return font;
}

// The font as this machine draws it: a family installed under another name
// (Times New Roman as Liberation Serif) under the name the font dialog lists,
// with the weight and style it resolves to, at the font's own size.
QFont ResolvedFont(const QFont &font)
{
    const QFontInfo info(font);
    QFont resolved(info.family());
    resolved.setStyleName(info.styleName());
    resolved.setWeight(QFont::Weight(info.weight()));
    resolved.setItalic(info.italic());
    resolved.setUnderline(font.underline());
    resolved.setStrikeOut(font.strikeOut());
    resolved.setPointSize(font.pointSize());
    return resolved;
}

} // namespace

QGroupBox *TCfgDialog::CreateLayoutGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Urkunde"), this);
    cbWho = new QComboBox(group);
    cbWho->setGeometry(12, 24, 150, 24);
    cbWho->addItems(LayoutEntryNames());
    cbWho->setMaxVisibleItems(20);
    cbON = new QCheckBox(QStringLiteral("drucken"), group);
    cbON->setGeometry(176, 26, 96, 20);

    Edit1 = new QLineEdit(group);
    Edit1->setGeometry(100, 58, 172, 24);
    AddLabel(QStringLiteral("Zeile:"), group, 12, 62, Edit1);
    seLeft = AddNumberField(group, 0, LayoutEntry::MaxPosition, 0);
    seLeft->setGeometry(100, 90, 62, 24);
    AddLabel(QStringLiteral("Links:"), group, 12, 94, seLeft);
    AddLabel(QStringLiteral("mm"), group, 168, 94);
    seTop = AddNumberField(group, 0, LayoutEntry::MaxPosition, 0);
    seTop->setGeometry(100, 122, 62, 24);
    AddLabel(QStringLiteral("Oben:"), group, 12, 126, seTop);
    AddLabel(QStringLiteral("mm"), group, 168, 126);
    cbAlign = new QComboBox(group);
    cbAlign->setGeometry(100, 154, 110, 24);
    cbAlign->addItems(
        {QStringLiteral("Links"), QStringLiteral("Zentriert"), QStringLiteral("Rechts")});
    AddLabel(QStringLiteral("Ausrichtung:"), group, 12, 158, cbAlign);
    cbZoom = new QComboBox(group);
    cbZoom->setGeometry(100, 186, 62, 24);
    cbZoom->addItems({QStringLiteral("A4"), QStringLiteral("A3")});
    AddLabel(QStringLiteral("Format:"), group, 12, 190, cbZoom);

    bFont = new TBitBtnWithColor(QStringLiteral("Schriftart"), group);
    bFont->setGeometry(12, 226, 151, 48);
    bFont->setAutoDefault(false);
    QFont buttonFont(QStringLiteral("Times New Roman"));
    buttonFont.setPointSize(24);
    buttonFont.setBold(true);
    bFont->setFont(buttonFont);

    PaperPreview1 = new TPaperPreview(group);
    PaperPreview1->SetPaperSize(QSize(212, 292));
    PaperPreview1->move(290, 24);
    PaperPreview1->setToolTip(QStringLiteral("Seite ansicht"));
    PaperPreview1->setCursor(Qt::DragMoveCursor);
    return group;
}

// Connected once the controls hold their first values, so that building
// them edits no entry.
void TCfgDialog::ConnectLayoutEditor()
{
    connect(cbWho, &QComboBox::currentIndexChanged, this, &TCfgDialog::cbWhoChange);
    connect(cbON, &QCheckBox::toggled, this, &TCfgDialog::cbONClick);
    connect(cbAlign, &QComboBox::currentIndexChanged, this, &TCfgDialog::cbAlignChange);
    connect(bFont, &QPushButton::clicked, this, &TCfgDialog::bFontClick);
    connect(seLeft, &QSpinBox::valueChanged, this, &TCfgDialog::sePosChange);
    connect(seTop, &QSpinBox::valueChanged, this, &TCfgDialog::sePosChange);
    connect(cbZoom, &QComboBox::currentIndexChanged, this, &TCfgDialog::sePosChange);
    connect(Edit1, &QLineEdit::textChanged, this, &TCfgDialog::sePosChange);
    connect(PaperPreview1, &TPaperPreview::OnPaint, this, &TCfgDialog::PaperPreview1Paint);
    connect(PaperPreview1, &TPaperPreview::OnMouseDown, this, &TCfgDialog::PaperPreview1MouseDown);
}

int TCfgDialog::PictureScale() const
{
    return cbZoom->currentIndex() == 1 ? 2 : 1;
}

void TCfgDialog::cbWhoChange()
{
    if (CurrentEntry != -1)
        SaveEditor(CurrentEntry);
    const int index = cbWho->currentIndex();
    if (index >= 0)
        LoadEditor(index);
    // "Dateiname" and "1. Zeile" show what a certificate printed now would.
    if (index == 7 || index == 8)
        Edit1->setText(EntryPrintText(index, m_layout.Entries[index], ProtocolRow{}, EventName,
                                      QDate::currentDate()));
    const bool ownText = index >= CertificateLayout::RaceDataEntries;
    Edit1->setEnabled(ownText);
    if (ownText && (Edit1->text().isEmpty() || Edit1->text().contains(QStringLiteral(". Zeile")))) {
        Edit1->setText(QString::number(index - 7) + QStringLiteral(". Zeile") +
                       QStringLiteral(" drucken"));
        Edit1->selectAll(); // the operator types over the prompt
        Edit1->setFocus();
    }
    CurrentEntry = index;
    PaperPreview1->update();
}

void TCfgDialog::SaveEditor(int index)
{
    LayoutEntry &entry = m_layout.Entries[index];
    entry.On = cbON->isChecked() ? 1 : 0;
    entry.Alignment = std::uint8_t(cbAlign->currentIndex());
    entry.Left = seLeft->value();
    entry.Top = seTop->value();
    const QFont font = bFont->font();
    entry.FontName = font.family();
    entry.FontStyle = FontStyleBits(font);
    entry.FontColor = m_fontColor;
    entry.FontSize = font.pointSize() / 2;
    entry.SetText(index < CertificateLayout::RaceDataEntries ? QString() : Edit1->text());
}

void TCfgDialog::LoadEditor(int index)
{
    const LayoutEntry &entry = m_layout.Entries[index];
    ShowEntryFont(ButtonFont(entry), entry.FontColor);
    Edit1->setText(entry.Text);
    cbON->setChecked(entry.On != 0);
    cbAlign->setCurrentIndex(entry.Alignment <= laRight ? int(entry.Alignment) : int(laLeft));
    seLeft->setValue(entry.Left);
    seTop->setValue(entry.Top);
}

void TCfgDialog::ShowEntryFont(const QFont &font, std::uint32_t color)
{
    bFont->setFont(font);
    QPalette palette = bFont->palette();
    palette.setColor(QPalette::ButtonText, LayoutColor(color));
    bFont->setPalette(palette);
    m_fontColor = color;
}

void TCfgDialog::cbONClick()
{
    const int index = cbWho->currentIndex();
    if (index < 0)
        return;
    m_layout.Entries[index].On = cbON->isChecked() ? 1 : 0;
    PaperPreview1->update();
}

void TCfgDialog::cbAlignChange()
{
    const int index = cbWho->currentIndex();
    if (index < 0 || cbAlign->currentIndex() < 0)
        return;
    m_layout.Entries[index].Alignment = std::uint8_t(cbAlign->currentIndex());
    PaperPreview1->update();
}

// Position, format and text reach the entry at the next entry switch or on
// OK; until then only the picture follows them.
void TCfgDialog::sePosChange()
{
    PaperPreview1->update();
}

void TCfgDialog::bFontClick()
{
    QFont entryFont = bFont->font();
    entryFont.setPointSize(qMax(1, entryFont.pointSize() / 2));
    const QFont offered = ResolvedFont(entryFont);
    const std::optional<QFont> chosen = CurrentPlatform().FontDialog(this, offered);
    if (!chosen)
        return;
    QFont shown = *chosen;
    shown.setPointSize(qMax(1, chosen->pointSize() * 2));
    bFont->setFont(shown);
}

void TCfgDialog::PaperPreview1Paint(TPaperPreview *, QPainter *canvas, const QRect &)
{
    canvas->setFont(font());
    canvas->setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics(canvas->font());
    const QStringList &names = LayoutEntryNames();
    const int selected = cbWho->currentIndex();
    const int scale = PictureScale();
    for (int i = 0; i < CertificateLayout::EntryCount; ++i) {
        const LayoutEntry &entry = m_layout.Entries[i];
        QString text = i >= CertificateLayout::RaceDataEntries && !entry.Text.isEmpty() ? entry.Text
                                                                                        : names[i];
        int x = entry.Left;
        int y = entry.Top;
        if (i == selected) {
            x = seLeft->value();
            y = seTop->value();
            if (i >= CertificateLayout::RaceDataEntries && !Edit1->text().isEmpty())
                text = Edit1->text();
        }
        if (entry.Alignment == laCenter)
            x -= metrics.horizontalAdvance(text) / 2;
        else if (entry.Alignment == laRight)
            x -= metrics.horizontalAdvance(text);
        canvas->setPen(entry.On ? EntryOnColour : EntryOffColour);
        canvas->drawText(
            QRect(x / scale, y / scale, metrics.horizontalAdvance(text) + 1, metrics.height()),
            Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    }
}

void TCfgDialog::PaperPreview1MouseDown(TPaperPreview *, Qt::MouseButton, Qt::KeyboardModifiers,
                                        const QPoint &pos)
{
    const int scale = PictureScale();
    seLeft->setValue(pos.x() * scale);
    seTop->setValue(pos.y() * scale);
}
