#pragma once

#include <QLineEdit>

class TMyCustomGrid;

// The masked single-line editor laid over the current cell. The mask uses
// QLineEdit's input-mask syntax.
class TInplaceEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TInplaceEdit(TMyCustomGrid *grid);

    TMyCustomGrid *Grid() const { return m_grid; }
    // Puts the editor over (col, row) with the cell's edit text and mask.
    void Open(int col, int row);
    void UpdateContents();
    void Close();
    int EditCol() const { return m_col; }
    int EditRow() const { return m_row; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    TMyCustomGrid *m_grid;
    int m_col = -1;
    int m_row = -1;
    QString m_textAtOpen;
};
