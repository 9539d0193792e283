// What the operator does on the protocol grid: check boxes, drop-downs and
// the filter, editing and its validation, keys, the incremental search and
// the mouse on headers and rows.
#include "widgets/SortGrid.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

#include <algorithm>

namespace {

const int kHeaderClickZone = 5; // pixels beside a border that belong to column sizing
const int kAutoFitZone = 3;     // pixels beside a border where a double-click fits the column
const int kDragDistance = 10;

QString Upper(QChar ch)
{
    return QString(ch >= QLatin1Char('a') && ch <= QLatin1Char('z') ? QChar(ch.unicode() - 32)
                                                                    : ch);
}

} // namespace

// ---- check box, drop-down and filter facilities

void TSortGrid::ToggleCheckBox(int col, int row)
{
    const bool checked = !IsChecked(Cells(col, row));
    SetCells(col, row, checked ? QStringLiteral("V") : QString());
    SetModified(true);
    if (OnSetChecked)
        OnSetChecked(this, col, row, checked);
}

void TSortGrid::OpenComboBox(int col, int row)
{
    QStringList items;
    int width = ColWidths(col);
    int height = 0;
    bool sorted = false;
    if (OnGetComboBox)
        OnGetComboBox(this, col, row, items, width, height, sorted);
    if (items.isEmpty())
        return;
    if (sorted)
        items.sort();
    auto *list = new QListWidget(this);
    list->setWindowFlags(Qt::Popup);
    list->setAttribute(Qt::WA_DeleteOnClose);
    list->addItems(items);
    const int rowHeight = list->sizeHintForRow(0);
    const int shown = std::min<int>(10, items.size());
    const QRect cell = CellRect(col, row);
    list->setGeometry(QRect(viewport()->mapToGlobal(cell.bottomLeft()),
                            QSize(width, height > 0 ? height : rowHeight * shown + 4)));
    const int current = items.indexOf(Cells(col, row));
    list->setCurrentRow(std::max(0, current));
    auto commit = [this, list, col, row] {
        if (QListWidgetItem *item = list->currentItem()) {
            SetCells(col, row, item->text());
            SetModified(true);
            if (OnSetComboBox)
                OnSetComboBox(this, col, row, item->text());
        }
        list->close();
    };
    connect(list, &QListWidget::itemClicked, list, commit);
    connect(list, &QListWidget::itemActivated, list, commit);
    list->show();
}

void TSortGrid::ApplyFilter(bool on)
{
    if (on) {
        m_filteredRowCount = RowCount();
        std::vector<int> accepted, rejected;
        for (int row = 1; row < RowCount(); ++row) {
            bool accept = true;
            if (OnSetFilter)
                OnSetFilter(row, accept);
            (accept ? accepted : rejected).push_back(row);
        }
        const int shown = static_cast<int>(accepted.size());
        accepted.insert(accepted.end(), rejected.begin(), rejected.end());
        BeginUpdate();
        ReorderDataRows(accepted);
        SetRowCount(std::max(2, shown + 1));
        EndUpdate();
    } else if (m_filteredRowCount > 0) {
        BeginUpdate();
        SetRowCount(std::exchange(m_filteredRowCount, -1));
        EndUpdate();
    }
    SortByColumn(m_sortOptions.SortCol());
}

// ---- editing and validation

void TSortGrid::RememberEdit()
{
    m_pendingEdit = {Col(), Row(), Cells(Col(), Row()), m_modified};
}

void TSortGrid::ValidateEdit()
{
    const PendingEdit pending = m_pendingEdit;
    if (!Options().testFlag(goEditing) || pending.row < 0 || pending.row >= RowCount() ||
        pending.col >= ColCount())
        return;
    const QString current = Cells(pending.col, pending.row);
    if (current == pending.text)
        return;
    QString newValue = current;
    bool valid = true;
    if (OnCellValidate)
        OnCellValidate(this, pending.col, pending.row, pending.text, newValue, valid);
    if (valid) {
        SetCells(pending.col, pending.row, newValue);
    } else {
        SetCells(pending.col, pending.row, newValue != current ? newValue : pending.text);
        m_modified = pending.modified;
    }
    RememberEdit();
}

void TSortGrid::EditorClosed()
{
    InvalidateGrid();
}

void TSortGrid::DoEnter()
{
    RememberEdit();
}

void TSortGrid::DoExit()
{
    ValidateEdit();
    TMyStringGrid::DoExit();
}

// ---- keyboard

bool TSortGrid::HandleKey(QKeyEvent *event)
{
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    if (m_extendedKeys && ctrl &&
        (event->key() == Qt::Key_Insert || event->key() == Qt::Key_Delete)) {
        const bool insert = event->key() == Qt::Key_Insert;
        if (shift)
            insert ? InsertColumn(Col()) : DeleteColumn(Col());
        else
            insert ? InsertRow(Row()) : DeleteRow(Row());
        return true;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        ValidateEdit();
    if (m_multiSelect && shift && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        const int row =
            std::clamp(Row() + (event->key() == Qt::Key_Up ? -1 : 1), 1, RowCount() - 1);
        MoveColRow(Col(), row, false, true);
        const int anchor = m_selectionAnchor.isEmpty() ? row : m_selectionAnchor.first().toInt();
        m_selectedRows.clear();
        for (int r = std::min(anchor, row); r <= std::max(anchor, row); ++r)
            m_selectedRows << QString::number(r);
        if (OnRowSelected)
            OnRowSelected(this);
        InvalidateGrid();
        return true;
    }
    if (event->key() == Qt::Key_Space && !EditorMode() && Row() >= FixedRows()) {
        bool checkBox = false, comboBox = false, ellipsis = false;
        CellFormat(Col(), Row(), gdFocused, &checkBox, &comboBox, &ellipsis);
        if (checkBox)
            ToggleCheckBox(Col(), Row());
        else if (comboBox)
            OpenComboBox(Col(), Row());
        else if (ellipsis && OnSetEllipsis)
            OnSetEllipsis(this, Col(), Row());
        if (checkBox || comboBox || ellipsis)
            return true;
    }
    const QString text = event->text();
    // Typing searches only while browsing; while editing it belongs to the cell.
    const bool alt = event->modifiers().testFlag(Qt::AltModifier);
    if (text.size() == 1 && text.at(0).isPrint() && !ctrl && !alt && !EditorMode() &&
        !CanEditShow()) {
        IncrementalSearch(Upper(text.at(0)).at(0));
        return true;
    }
    return TMyStringGrid::HandleKey(event);
}

void TSortGrid::IncrementalSearch(QChar ch)
{
    const int col = m_sortOptions.SortCol();
    if (col < 0 || col >= ColCount() || RowCount() < 2)
        return;
    auto matches = [&](int row) {
        const QString text = Cells(col, row);
        return !text.isEmpty() && Upper(text.at(0)).at(0) == ch;
    };
    for (int row = Row() + 1; row < RowCount(); ++row) {
        if (matches(row))
            return GoToCell(col, row, true);
    }
    for (int row = 1; row <= Row() && row < RowCount(); ++row) {
        if (matches(row))
            return GoToCell(col, row, true);
    }
}

// ---- mouse

void TSortGrid::HeaderMouseRelease(QMouseEvent *event, const TGridCoord &pressed)
{
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    if (cell.Y < 0 || cell.Y >= FixedRows() || cell.X < 0 || cell.X != pressed.X)
        return;
    const int left = ColumnLeft(cell.X);
    const int right = left + ColWidths(cell.X);
    if (pos.x() - left < kHeaderClickZone || right - pos.x() < kHeaderClickZone)
        return;
    const bool toggle =
        m_sortOptions.SortDirection() == sdAscending && cell.X == m_sortOptions.SortCol();
    m_sortOptions.SetSortDirection(event->button() == Qt::RightButton || toggle ? sdDescending
                                                                                : sdAscending);
    SortByColumn(cell.X);
}

void TSortGrid::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    if (EditorMode())
        ValidateEdit();
    m_dragArmed = false;
    const bool dataCell = cell.X >= 0 && cell.Y >= FixedRows();
    if (event->button() == Qt::LeftButton && dataCell && m_multiSelect) {
        m_dragArmed = m_selectedRows.contains(QString::number(cell.Y)) &&
                      !event->modifiers().testFlag(Qt::ControlModifier);
        m_dragStart = pos;
        if (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) {
            const QString row = QString::number(cell.Y);
            if (event->modifiers().testFlag(Qt::ControlModifier)) {
                if (!m_selectedRows.removeOne(row))
                    m_selectedRows << row;
            } else {
                const int anchor =
                    m_selectionAnchor.isEmpty() ? cell.Y : m_selectionAnchor.first().toInt();
                m_selectedRows.clear();
                for (int r = std::min(anchor, cell.Y); r <= std::max(anchor, cell.Y); ++r)
                    m_selectedRows << QString::number(r);
            }
            MoveColRow(cell.X, cell.Y, false, true);
            if (OnRowSelected)
                OnRowSelected(this);
            InvalidateGrid();
            return;
        }
    }
    if (m_dragArmed)
        return;
    TMyStringGrid::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && dataCell && Current() == cell) {
        bool checkBox = false, comboBox = false, ellipsis = false;
        CellFormat(cell.X, cell.Y, gdFocused, &checkBox, &comboBox, &ellipsis);
        const QRect rect = CellRect(cell.X, cell.Y);
        const bool onButton = pos.x() > rect.right() - std::min(16, rect.width());
        if (checkBox)
            ToggleCheckBox(cell.X, cell.Y);
        else if (comboBox && onButton)
            OpenComboBox(cell.X, cell.Y);
        else if (ellipsis && onButton && OnSetEllipsis)
            OnSetEllipsis(this, cell.X, cell.Y);
    }
}

void TSortGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragArmed && event->buttons() == Qt::LeftButton) {
        const QPoint delta = event->position().toPoint() - m_dragStart;
        if (std::abs(delta.x()) > kDragDistance || std::abs(delta.y()) > kDragDistance) {
            m_dragArmed = false;
            auto *drag = new QDrag(this);
            auto *mime = new QMimeData;
            mime->setText(m_selectedRows.join(QLatin1Char(',')));
            drag->setMimeData(mime);
            drag->exec(Qt::CopyAction);
        }
        return;
    }
    TMyStringGrid::mouseMoveEvent(event);
}

void TSortGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    if (std::exchange(m_dragArmed, false)) {
        // A press on a selected row that did not become a drag selects that row.
        TMyStringGrid::mousePressEvent(event);
    }
    if (event->button() == Qt::RightButton && cell.Y >= FixedRows() && m_popupMenu) {
        m_popupMenu->popup(event->globalPosition().toPoint());
        return;
    }
    TMyStringGrid::mouseReleaseEvent(event);
}

void TSortGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    if (event->button() == Qt::LeftButton && cell.Y >= 0 && cell.Y < FixedRows()) {
        const int border = ColumnBorderAt(pos.x(), kAutoFitZone);
        if (border >= 0) {
            AutoSizeCol(border, true);
            return;
        }
    }
    TMyStringGrid::mouseDoubleClickEvent(event);
}

void TSortGrid::wheelEvent(QWheelEvent *event)
{
    // Two rows per notch; the current cell stays where it is.
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        SetTopRow(TopRow() - 2 * notches);
    event->accept();
}
