// The results protocol's table: a string grid with one header row that sorts
// its data rows by a column plus secondary columns, sorts on header clicks,
// asks its owner for each cell's format, reports row selections, searches by
// first letter, fits column widths and saves its cells as semicolon text.
#pragma once

#include "protocol/ProtocolFiles.h"
#include "widgets/CellTextCache.h"
#include "widgets/SortCompare.h"
#include "widgets/StringGrid.h"

#include <QBrush>
#include <QFont>
#include <QPixmap>

class QMenu;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TVertAlignment { taTopJustify, taBottomJustify, taMiddle };
enum TCellBevelStyle { cbNone, cbRaised, cbLowered };
enum TMyPrintRange { prAll, prSelected };

// What one cell looks like; filled with the grid's defaults, then handed to
// OnGetCellFormat to change in place. FontColor carries the text colour.
struct TFormatOptions
{
    QBrush Brush;
    QFont Font;
    QColor FontColor;
    TAlignment AlignmentHorz = taLeftJustify;
    TVertAlignment AlignmentVert = taMiddle;
    TCellBevelStyle Bevel = cbNone;
    QColor HilightColor;
    QColor ShadowColor;
};

// A font override for one column or one row, used while Active.
struct TFontSetting
{
    QColor FontColor = Qt::black;
    QColor BackColor = Qt::white;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Active = false;
};

// Stored with the layout for printing; the grid itself does not use it.
struct TPrintOptions
{
    QString JobTitle;
    QString PageTitle;
    unsigned Copies = 1;
    TMyPrintRange PrintRange = prAll;
    unsigned FromRow = 0;
    unsigned ToRow = 0;
    unsigned PreviewPage = 0;
};

class TSortGrid : public TMyStringGrid
{
    Q_OBJECT
public:
    explicit TSortGrid(QWidget *parent = nullptr);
    ~TSortGrid() override;

    TSortOptions &SortOptions() { return m_sortOptions; }
    const TSortOptions &SortOptions() const { return m_sortOptions; }
    TPrintOptions &PrintOptions() { return m_printOptions; }

    bool HideRows() const { return m_hideRows; }
    void SetHideRows(bool on);
    bool Filtered() const { return m_filtered; }
    void SetFiltered(bool on);
    bool MultiSelect() const { return m_multiSelect; }
    void SetMultiSelect(bool on);
    bool ProportionalScrollBars() const { return m_proportionalScrollBars; }
    void SetProportionalScrollBars(bool on);
    bool ExtendedKeys() const { return m_extendedKeys; }
    void SetExtendedKeys(bool on);
    TAlignment AlignmentHorz() const { return m_alignmentHorz; }
    void SetAlignmentHorz(TAlignment alignment);
    TVertAlignment AlignmentVert() const { return m_alignmentVert; }
    void SetAlignmentVert(TVertAlignment alignment);
    TCellBevelStyle BevelStyle() const { return m_bevelStyle; }
    void SetBevelStyle(TCellBevelStyle style);
    QMenu *PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu *menu);

    bool Modified() const { return m_modified; }
    void SetModified(bool on);
    // While OnModified runs for a text the in-place editor wrote: the row
    // of its cell, which holds the new text already; -1 otherwise.
    int EditedRow() const { return m_editedRow; }
    bool Sorting() const { return m_sorting; }
    // Selected data rows as decimal numbers; in single selection just the current row.
    QStringList SelectedRows() const { return m_selectedRows; }
    QStringList SelectionAnchor() const { return m_selectionAnchor; }
    // Per-column and per-row font overrides (kept in step with moves and deletes).
    TFontSetting &ColFont(int col);
    TFontSetting &RowFont(int row);

    void SortByColumn(int col);
    void ClearRows();
    // Every row as shown, header row first, each with all its columns.
    CellRows TableRows() const;
    // Writes TableRows as the ";" file (SemicolonProtocol).
    // A failure shows "Can't write to file:\r" + name, leaves a previous
    // file of that name as it was and returns false; nothing is raised.
    bool SaveToFile(const QString &fileName);
    void GoToCell(int col, int row, bool scroll);
    void ScrollToCell(int col, int row);
    void AutoSizeCol(int col, bool force);
    // The width AutoSizeCol gives: the widest text of the column (the
    // header's with room for the sort arrow) plus one "X".
    int FittedColWidth(int col);
    // The same for a grid whose format keeps every cell in the grid's font,
    // without asking each cell's format: quick for a long table.
    int FittedColWidthInGridFont(int col);
    // The same for data rows holding rows texts, dataText(k) in data row k
    // (the grid's own header): a table about to move into the grid.
    int FittedColWidthInGridFont(int col, int rows,
                                 const std::function<QStringView(int k)> &dataText);
    void AutoSizeColumns(bool force);
    void InsertRow(int row);
    void InsertColumn(int col);
    void ExchangeRows(int a, int b);
    void DeleteRow(int row) override;
    void DeleteColumn(int col) override;
    void BeginUpdate() override;
    void EndUpdate() override;
    void SetOptions(TGridOptions options) override;
    void SetEditText(int col, int row, const QString &value) override;
    // The cell's format: defaults, then OnGetCellFormat.
    TFormatOptions CellFormat(int col, int row, TGridDrawState state, bool *checkBox = nullptr,
                              bool *comboBox = nullptr, bool *ellipsis = nullptr);
    // The header text shortened with ".." to fit width pixels.
    static QString ShortenedHeaderText(const QString &text, int width, const QFontMetrics &fm);

    // Events
    TNotifyEvent OnModified;
    TNotifyEvent OnRowSelected;
    std::function<void(QObject *sender, int row)> OnRowInsert;
    std::function<void(QObject *sender, int row)> OnRowDelete;
    std::function<void(QObject *sender, int col)> OnColumnInsert;
    std::function<void(QObject *sender, int col)> OnColumnDelete;
    TNotifyEvent OnColumnWidthsChanged;
    TNotifyEvent OnRowHeightsChanged;
    std::function<void(QObject *sender, int oldColCount, int oldRowCount)> OnSizeChanged;
    std::function<void(QObject *sender, int col, int row, TGridDrawState state,
                       TFormatOptions &format, bool &checkBox, bool &comboBox, bool &ellipsis)>
        OnGetCellFormat;
    std::function<void(int row, bool &accept)> OnSetFilter;
    TNotifyEvent OnEndUpdate;
    std::function<void(QObject *sender, int col, TSortStyle &sortStyle)> OnGetSortStyle;
    std::function<void(QObject *sender, int col, int row, const QString &oldValue,
                       QString &newValue, bool &valid)>
        OnCellValidate;
    std::function<void(QObject *sender, int col, int row, bool state)> OnSetChecked;
    std::function<void(QObject *sender, int col, int row, QStringList &strs, int &width,
                       int &height, bool &sorted)>
        OnGetComboBox;
    std::function<void(QObject *sender, int col, int row, const QString &str)> OnSetComboBox;
    std::function<void(QObject *sender, int col, int row)> OnSetEllipsis;
    std::function<void(QObject *sender, int &col)> OnBeginSort;
    std::function<void(QObject *sender, int col)> OnEndSort;

protected:
    bool SelectCell(int col, int row) override;
    void SizeChanged(int oldColCount, int oldRowCount) override;
    void DrawCell(QPainter &painter, int col, int row, const QRect &rect,
                  TGridDrawState state) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    void RowMoved(int fromIndex, int toIndex) override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    bool HandleKey(QKeyEvent *event) override;
    void HeaderMouseRelease(QMouseEvent *event, const TGridCoord &pressed) override;
    void EditorClosed() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void DoEnter() override;
    void DoExit() override;

private:
    static constexpr int ArrowSpace = 12; // header pixels taken by the sort arrow
    // The width a cell's text may take before it is cut.
    static int CellTextRoom(const QRect &cell);
    // Whether a check-box cell's text stands for a tick.
    static bool IsChecked(const QString &text);

    struct PendingEdit
    {
        int col = -1;
        int row = -1;
        QString text;
        bool modified = false;
    };
    TSortStyle KeyStyle(int col, TSortStyle previous);
    QStringList ColumnKeys(int col, const std::vector<int> &order) const;
    std::function<QStringView(int row)> TextOf(int col, const QList<QString> &texts) const;
    int FittedWidth(int col, int rowCount, const std::function<QStringView(int row)> &textOf,
                    const std::function<QFont(int row)> &fontOf);
    void FollowSelectedRows(const std::vector<int> &order);
    void SelectOnly(int row);
    void RememberEdit();
    void ValidateEdit();
    void IncrementalSearch(QChar ch);
    void StretchLastColumn();
    void DrawSortArrow(QPainter &painter, const QRect &rect) const;
    void DrawBevel(QPainter &painter, const QRect &rect, const TFormatOptions &format) const;
    void DrawDecoration(QPainter &painter, const QRect &rect, int col, int row, bool checkBox,
                        bool comboBox, bool ellipsis);
    void ToggleCheckBox(int col, int row);
    void OpenComboBox(int col, int row);
    void ApplyFilter(bool on);
    template <typename Fn> void WithoutAlwaysShowEditor(Fn fn);

    TSortOptions m_sortOptions;
    TPrintOptions m_printOptions;
    bool m_hideRows = false;
    bool m_filtered = false;
    bool m_multiSelect = false;
    bool m_proportionalScrollBars = false;
    bool m_extendedKeys = false;
    TAlignment m_alignmentHorz = taLeftJustify;
    TVertAlignment m_alignmentVert = taMiddle;
    TCellBevelStyle m_bevelStyle = cbNone;
    QMenu *m_popupMenu = nullptr;
    bool m_modified = false;
    int m_editedRow = -1;
    bool m_sorting = false;
    bool m_savedUpdateOnSizeChange = false;
    QStringList m_selectedRows{QStringLiteral("1")};
    QStringList m_selectionAnchor{QStringLiteral("1")};
    std::vector<TFontSetting> m_colFonts;
    std::vector<TFontSetting> m_rowFonts;
    PendingEdit m_pendingEdit;
    int m_filteredRowCount = -1;
    QPoint m_dragStart;
    bool m_dragArmed = false;
    TCellTextCache m_textCache;
};
