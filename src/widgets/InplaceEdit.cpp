#include "widgets/InplaceEdit.h"

#include "widgets/CustomGrid.h"
#include <QKeyEvent>

TInplaceEdit::TInplaceEdit(TMyCustomGrid *grid) : QLineEdit(grid->viewport()), m_grid(grid)
{
    setFrame(false);
    hide();
    connect(this, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_grid->SetEditText(m_col, m_row, text); });
}

void TInplaceEdit::Open(int col, int row)
{
    m_col = col;
    m_row = row;
    setInputMask(m_grid->GetEditMask(col, row));
    UpdateContents();
    m_textAtOpen = text();
    // Placed once shown: a hidden editor is not placed.
    show();
    m_grid->UpdateEditorGeometry();
    setFocus();
}

void TInplaceEdit::UpdateContents()
{
    setText(m_grid->GetEditText(m_col, m_row));
}

void TInplaceEdit::Close()
{
    if (isHidden())
        return;
    m_grid->SetEditText(m_col, m_row, text());
    // Focus goes back to the grid first, so closing is not leaving the grid.
    if (hasFocus())
        m_grid->setFocus();
    hide();
    m_grid->EditorClosed();
}

void TInplaceEdit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        setText(m_textAtOpen);
        m_grid->SetEditText(m_col, m_row, m_textAtOpen);
        m_grid->HideEditor();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        m_grid->keyPressEvent(event);
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void TInplaceEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (m_grid->FocusLeftGrid())
        m_grid->DoExit();
}
