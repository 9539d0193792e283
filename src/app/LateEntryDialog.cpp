#include "app/LateEntryDialog.h"

#include "protocol/ProtocolModel.h"

#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

LateEntryDialog::LateEntryDialog(const QStringList &classes, const QString &number, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Nachmeldung"));
    auto *form = new QFormLayout(this);
    for (int column = ColNr; column <= ColBeifahrer2; ++column) {
        const QString name = ProtocolHeaders()[column];
        auto *field = new QLineEdit(this);
        field->setObjectName(name);
        field->setMinimumWidth(220);
        form->addRow(name + QLatin1Char(':'), field);
        m_fields[std::size_t(column)] = field;
    }
    m_fields[ColNr]->setText(number);
    // The classes of the list are offered, a new one may be typed.
    m_fields[ColKlasse]->setCompleter(new QCompleter(classes, this));
    if (!classes.isEmpty())
        m_fields[ColKlasse]->setPlaceholderText(classes.join(QStringLiteral(", ")));
    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A team needs its name.
    const auto refresh = [this] {
        m_ok->setEnabled(!m_fields[ColTeamName]->text().trimmed().isEmpty());
    };
    connect(m_fields[ColTeamName], &QLineEdit::textChanged, this, refresh);
    refresh();
    m_fields[ColTeamName]->setFocus();
}

ProtocolRow LateEntryDialog::Team() const
{
    ProtocolRow team{};
    for (std::size_t column = 0; column < m_fields.size(); ++column)
        team[column] = m_fields[column]->text().trimmed();
    return team;
}

QString NextFreeNumber(const ProtocolModel &model)
{
    qlonglong highest = 0;
    for (int row = 0; row < model.TeamCount(); ++row) {
        bool ok = false;
        const qlonglong number = model.Cell(row, ColNr).trimmed().toLongLong(&ok);
        if (ok)
            highest = std::max(highest, number);
    }
    return QString::number(highest + 1);
}
