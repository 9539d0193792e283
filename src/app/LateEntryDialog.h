// "Nachmeldung": a team that registers on the day. The operator types its
// number, name, class and crew; the number offered is the next free one.
#pragma once

#include "protocol/ProtocolTable.h"

#include <QDialog>
#include <array>

class ProtocolModel;
class QLineEdit;
class QPushButton;

class LateEntryDialog : public QDialog
{
    Q_OBJECT

public:
    LateEntryDialog(const QStringList &classes, const QString &number, QWidget *parent);

    // "Nr." to "Beifahrer2" as typed (trimmed); the other cells empty.
    ProtocolRow Team() const;

private:
    // Each field is named after its column ("Nr.", "TeamName", ...).
    std::array<QLineEdit *, ColBeifahrer2 + 1> m_fields{};
    QPushButton *m_ok = nullptr;
};

// One more than the highest start number that reads as a whole number; "1"
// for a protocol without one.
QString NextFreeNumber(const ProtocolModel &model);
