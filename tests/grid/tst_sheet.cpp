#include "common/Globals.h"
#include "grid/MduSpread.h"
#include "grid/NumberCell.h"
#include "grid/RowText.h"
#include "grid/SpreadGrid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

// Grid operations as the windows use them: number cells, deletion, data rows,
// sorting, row-header tags, the common set-up, units and drawing.
class SheetTest : public QObject
{
    Q_OBJECT

private slots:
    void numberCells_data();
    void numberCells();
    void largeNumbersKeepEveryDigit();
    void textCellsKeepTheirText();
    void rowTextPacking_data();
    void rowTextPacking();
    void deleteSpreadRow_data();
    void deleteSpreadRow();
    void dataRowCnt_data();
    void dataRowCnt();
    void insertRowsKeepsMaxRows();
    void headerClickSorts_data();
    void headerClickSorts();
    void rowPropertiesTravelWithTheirRow();
    void commonSpreadDesign_data();
    void commonSpreadDesign();
    void lockedCellsRefuseEdits();
    void getSpreadTextUsesTheActiveCell();
    void rowColoursAndSelection();
    void fontSizeOfCellsAndHeader();
    void unitsRoundTrip();
    void userColumnResizeIsReportedOnce();
    void textTipOnlyForTextThatDoesNotFit();
    void reDrawOffCollectsChanges();
    void outOfRangeCallsAreIgnored();

private:
    static void fill(SpreadGrid& grid, const QStringList& column1);
};

void SheetTest::fill(SpreadGrid& grid, const QStringList& column1)
{
    grid.SetMaxCols(3);
    grid.SetMaxRows(int(column1.size()));
    for (int r = 1; r <= column1.size(); ++r) {
        grid.SetText(1, r, column1[r - 1]);
        grid.SetText(2, r, QStringLiteral("b%1").arg(r));
    }
}

void SheetTest::numberCells_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("decPlaces");
    QTest::addColumn<bool>("negRed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("red");
    QTest::newRow("separators") << "1234567" << 0 << true << "1,234,567"
                                << "1234567" << false;
    QTest::newRow("negative red") << "-1234.5" << 2 << true << "-1,234.50"
                                  << "-1234.50" << true;
    QTest::newRow("negative black") << "-7" << 0 << false << "-7"
                                    << "-7" << false;
    QTest::newRow("half rounds up") << "12.345" << 2 << false << "12.35"
                                    << "12.35" << false;
    QTest::newRow("no decimals rounds") << "2.5" << 0 << false << "3"
                                        << "3" << false;
    QTest::newRow("typed separators") << " 1,234 " << 0 << false << "1,234"
                                      << "1234" << false;
    QTest::newRow("rounds to zero, not -0") << "-0.001" << 2 << true << "0.00"
                                            << "0.00" << false;
    QTest::newRow("upper limit") << "999999999999" << 0 << false << "999,999,999,999"
                                 << "999999999999" << false;
    QTest::newRow("above the limit") << "1000000000000" << 0 << false << ""
                                     << "" << false;
    QTest::newRow("below the limit") << "-1000000000000" << 0 << true << ""
                                     << "" << false;
    QTest::newRow("not a number") << "abc" << 0 << false << ""
                                  << "" << false;
    QTest::newRow("trailing text") << "12abc" << 0 << false << ""
                                   << "" << false;
    QTest::newRow("empty") << "" << 0 << false << ""
                           << "" << false;
}

void SheetTest::numberCells()
{
    QFETCH(QString, text);
    QFETCH(int, decPlaces);
    QFETCH(bool, negRed);
    QFETCH(QString, shown);
    QFETCH(QString, value);
    QFETCH(bool, red);

    SpreadGrid grid;
    grid.SetMaxCols(2);
    grid.SetMaxRows(3);
    SetSpreadNumberCol(&grid, 1, decPlaces, true, -1, negRed, false);
    grid.SetText(1, 2, text);

    QCOMPARE(grid.CellType(1, 2), int(CellTypeNumber));
    QCOMPARE(grid.CellType(2, 2), int(CellTypeEdit));
    QCOMPARE(grid.DisplayText(1, 2), shown);
    QString got;
    QCOMPARE(grid.GetText(1, 2, got), !value.isEmpty());
    QCOMPARE(got, value);
    QCOMPARE(GetSpreadText(&grid, 1, 2), value);
    const QModelIndex index = grid.model()->index(1, 0);
    QCOMPARE(index.data(Qt::DisplayRole).toString(), shown);
    QCOMPARE(index.data(Qt::ForegroundRole).value<QBrush>().color() == QColor(Qt::red), red);
    QVERIFY(index.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
}

void SheetTest::largeNumbersKeepEveryDigit()
{
    NumberFormat wide;
    wide.decPlaces = 0;
    wide.showSep = true;
    wide.min = -1e15;
    wide.max = 1e15;
    QCOMPARE(FormatNumber(280000000000001.0, wide), QStringLiteral("280,000,000,000,001"));
    QCOMPARE(NumberCellValue(QStringLiteral("-280000000000001"), wide),
             std::optional<double>(-280000000000001.0));
    wide.decPlaces = 2;
    QCOMPARE(FormatNumber(12.345, wide), QStringLiteral("12.35"));
}

void SheetTest::textCellsKeepTheirText()
{
    SpreadGrid grid;
    grid.SetMaxCols(2);
    grid.SetMaxRows(1);
    grid.SetText(1, 1, QStringLiteral("00123"));
    grid.SetText(2, 1, QStringLiteral("한글 제목"));
    QCOMPARE(GetSpreadText(&grid, 1, 1), QStringLiteral("00123"));
    QCOMPARE(grid.DisplayText(2, 1), QStringLiteral("한글 제목"));
    // Setting the type later shows the same text as a number.
    SetSpreadNumberCol(&grid, 1, 0, false, -1, false, true);
    QCOMPARE(grid.DisplayText(1, 1), QStringLiteral("123"));
    QVERIFY(grid.model()->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHCenter);
}

void SheetTest::rowTextPacking_data()
{
    // Steps "index=text" applied in order; then the cells 0..4 and emptiness.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<bool>("empty");
    QTest::newRow("in order") << QStringList{"0=a", "1=bb", "2=ccc"} << QStringList{"a", "bb", "ccc", "", ""}
                              << false;
    QTest::newRow("gap") << QStringList{"3=d", "0=a"} << QStringList{"a", "", "", "d", ""} << false;
    QTest::newRow("middle grows") << QStringList{"0=a", "1=b", "2=c", "1=긴 한글 텍스트"}
                                  << QStringList{"a", "긴 한글 텍스트", "c", "", ""} << false;
    QTest::newRow("middle shrinks") << QStringList{"0=aaa", "1=bbbb", "2=c", "1="}
                                    << QStringList{"aaa", "", "c", "", ""} << false;
    QTest::newRow("last emptied") << QStringList{"0=a", "4=e", "4="} << QStringList{"a", "", "", "", ""}
                                  << false;
    QTest::newRow("all emptied") << QStringList{"2=x", "2="} << QStringList{"", "", "", "", ""} << true;
    QTest::newRow("empty past the end") << QStringList{"4="} << QStringList{"", "", "", "", ""} << true;
    QTest::newRow("truncated") << QStringList{"0=a", "1=b", "2=c", "T2"} << QStringList{"a", "b", "", "", ""}
                               << false;
    QTest::newRow("truncated to none") << QStringList{"1=b", "T0"} << QStringList{"", "", "", "", ""} << true;
}

void SheetTest::rowTextPacking()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, cells);
    QFETCH(bool, empty);
    RowText row;
    for (const QString& step : steps) {
        if (step.startsWith(QLatin1Char('T')))
            row.truncate(step.mid(1).toInt());
        else
            row.setCell(step.section(QLatin1Char('='), 0, 0).toInt(), step.section(QLatin1Char('='), 1));
    }
    QStringList got;
    for (int i = 0; i < 5; ++i)
        got << row.cell(i);
    QCOMPARE(got, cells);
    QCOMPARE(row.isEmpty(), empty);
    QCOMPARE(row.cell(-1), QString());
}

void SheetTest::deleteSpreadRow_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("deleteRow");
    QTest::addColumn<bool>("shrink");
    QTest::addColumn<int>("maxRows");
    QTest::addColumn<QStringList>("after");
    const QStringList abc{"a", "b", "c", "", ""};
    QTest::newRow("shrink to data") << abc << 1 << 2 << true << 2 << QStringList{"a", "c"};
    QTest::newRow("keep size") << abc << 1 << 2 << false << 5 << QStringList{"a", "c", "", "", ""};
    QTest::newRow("active row") << abc << 3 << -2 << true << 2 << QStringList{"a", "b"};
    QTest::newRow("last data row") << QStringList{"a", "b"} << 1 << 2 << true << 1 << QStringList{"a"};
    QTest::newRow("only row") << QStringList{"a"} << 1 << 1 << true << 0 << QStringList{};
    QTest::newRow("empty rows below")
        << QStringList{"a", "", "", "d", "", ""} << 1 << 4 << true << 1 << QStringList{"a"};
}

void SheetTest::deleteSpreadRow()
{
    QFETCH(QStringList, rows);
    QFETCH(int, active);
    QFETCH(int, deleteRow);
    QFETCH(bool, shrink);
    QFETCH(int, maxRows);
    QFETCH(QStringList, after);

    SpreadGrid grid;
    grid.SetMaxCols(2);
    grid.SetMaxRows(int(rows.size()));
    for (int r = 1; r <= rows.size(); ++r)
        grid.SetText(1, r, rows[r - 1]);
    grid.SetActiveCell(1, active);
    QStringList shown;
    SetSpreadFloatMsgHandler([&](const QString& text, int time, int number, OleColor color) {
        shown << QStringLiteral("%1|%2|%3|%4").arg(text).arg(time).arg(number).arg(color, 0, 16);
    });

    DeleteSpreadRow(&grid, deleteRow, true, shrink);

    SetSpreadFloatMsgHandler({});
    QCOMPARE(grid.MaxRows(), maxRows);
    QStringList got;
    for (int r = 1; r <= grid.MaxRows(); ++r)
        got << GetSpreadText(&grid, 1, r);
    QCOMPARE(got, after);
    QCOMPARE(shown, QStringList{QStringLiteral("자료를 삭제하였습니다.|500|1|ffff00")});
}

void SheetTest::dataRowCnt_data()
{
    QTest::addColumn<int>("maxRows");
    QTest::addColumn<QList<QPoint>>("cells"); // (col, row) holding text
    QTest::addColumn<int>("expected");
    QTest::newRow("empty sheet") << 10 << QList<QPoint>{} << 0;
    QTest::newRow("no rows") << 0 << QList<QPoint>{} << 0;
    QTest::newRow("first row") << 10 << QList<QPoint>{{1, 1}} << 1;
    QTest::newRow("gap counts") << 10 << QList<QPoint>{{1, 1}, {3, 7}} << 7;
    QTest::newRow("last row, last column") << 10 << QList<QPoint>{{3, 10}} << 10;
}

void SheetTest::dataRowCnt()
{
    QFETCH(int, maxRows);
    QFETCH(QList<QPoint>, cells);
    QFETCH(int, expected);
    SpreadGrid grid;
    grid.SetMaxCols(3);
    grid.SetMaxRows(maxRows);
    grid.SetText(0, 9, QStringLiteral("row header text is no data"));
    grid.SetText(2, 8, QStringLiteral("x"));
    grid.SetText(2, 8, QString()); // emptied again
    for (const QPoint& p : cells)
        grid.SetText(p.x(), p.y(), QStringLiteral("x"));
    QCOMPARE(grid.DataRowCnt(), expected);
}

void SheetTest::insertRowsKeepsMaxRows()
{
    // A new record goes on top: the list grows by one, then a blank row is inserted at 1.
    SpreadGrid grid;
    fill(grid, {"a", "b"});
    grid.SetMaxRows(grid.MaxRows() + 1);
    grid.InsertRows(1, 1);
    grid.SetText(1, 1, QStringLiteral("new"));
    QCOMPARE(grid.MaxRows(), 3);
    QCOMPARE(GetSpreadText(&grid, 1, 1), QStringLiteral("new"));
    QCOMPARE(GetSpreadText(&grid, 1, 2), QStringLiteral("a"));
    QCOMPARE(GetSpreadText(&grid, 2, 3), QStringLiteral("b2"));
    // Without growing first, the last row falls off.
    grid.InsertRows(2, 1);
    QCOMPARE(grid.MaxRows(), 3);
    QCOMPARE(GetSpreadText(&grid, 1, 3), QStringLiteral("a"));
    QCOMPARE(grid.DataRowCnt(), 3);
}

void SheetTest::headerClickSorts_data()
{
    QTest::addColumn<bool>("numberColumn");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("expected");
    const QStringList numbers{"10", "9", "", "100", "-5"};
    QTest::newRow("numbers ascending") << true << numbers << 1 << QStringList{"-5", "9", "10", "100", ""};
    QTest::newRow("numbers descending") << true << numbers << 2 << QStringList{"100", "10", "9", "-5", ""};
    QTest::newRow("numbers as text") << false << numbers << 1 << QStringList{"-5", "10", "100", "9", ""};
    QTest::newRow("third click ascends again")
        << true << numbers << 3 << QStringList{"-5", "9", "10", "100", ""};
    QTest::newRow("hangul and dates")
        << false << QStringList{"2024-03-01 10:00", "2023-12-31 23:59", "2024-03-01 09:00"} << 1
        << QStringList{"2023-12-31 23:59", "2024-03-01 09:00", "2024-03-01 10:00"};
    QTest::newRow("hangul descending")
        << false << QStringList{"나", "가", "다"} << 2 << QStringList{"다", "나", "가"};
}

void SheetTest::headerClickSorts()
{
    QFETCH(bool, numberColumn);
    QFETCH(QStringList, values);
    QFETCH(int, clicks);
    QFETCH(QStringList, expected);

    SpreadGrid grid;
    CommonSpreadDesign(&grid, true, true, true, true, true);
    fill(grid, values);
    grid.SetMaxRows(grid.MaxRows() + 2); // empty rows below the data stay below
    if (numberColumn)
        SetSpreadNumberCol(&grid, 1, 0, false, -1, true, false);
    grid.resize(400, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy clicked(&grid, &SpreadGrid::Click);

    const QHeaderView* header = grid.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(0) + 5, header->height() / 2);
    for (int i = 0; i < clicks; ++i)
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);

    QStringList got;
    for (int r = 1; r <= int(values.size()); ++r)
        got << grid.DisplayText(1, r).remove(QLatin1Char(','));
    QCOMPARE(got, expected);
    QCOMPARE(grid.DataRowCnt(), int(values.size()));
    QCOMPARE(grid.DisplayText(2, grid.MaxRows()), QString());
    QCOMPARE(clicked.count(), clicks);
    QCOMPARE(clicked.first(), (QList<QVariant>{1, 0}));
    // Column 2 came along with its row.
    for (int r = 1; r <= int(values.size()); ++r)
        if (!got[r - 1].isEmpty())
            QCOMPARE(grid.DisplayText(2, r), QStringLiteral("b%1").arg(values.indexOf(got[r - 1]) + 1));

    // Without UserColAction the header does not sort; a header click never moves the active cell.
    grid.SetUserColAction(0);
    grid.SetActiveCell(2, 2);
    const QStringList before = got;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(grid.ActiveRow(), 2);
    QCOMPARE(grid.ActiveCol(), 2);
    for (int r = 1; r <= int(values.size()); ++r)
        QCOMPARE(grid.DisplayText(1, r).remove(QLatin1Char(',')), before[r - 1]);
}

void SheetTest::rowPropertiesTravelWithTheirRow()
{
    SpreadGrid grid;
    fill(grid, {"c", "a", "b"});
    grid.SetCellTag(0, 1, QStringLiteral("subtot"));
    grid.SetText(0, 1, QStringLiteral("소계"));
    grid.SetBackColor(-1, 1, Rgb(0, 255, 0));
    grid.SetRowHidden(1, true);
    grid.SetActiveCell(2, 1);

    grid.SortByColumn(1, Qt::AscendingOrder);

    QCOMPARE(GetSpreadText(&grid, 1, 3), QStringLiteral("c"));
    QCOMPARE(grid.CellTag(0, 3), QStringLiteral("subtot"));
    QCOMPARE(grid.CellTag(0, 1), QString());
    QCOMPARE(grid.model()->headerData(2, Qt::Vertical).toString(), QStringLiteral("소계"));
    QCOMPARE(grid.model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
    QCOMPARE(grid.BackColor(-1, 3), Rgb(0, 255, 0));
    QVERIFY(grid.RowHidden(3));
    QVERIFY(grid.isRowHidden(2));
    QVERIFY(!grid.isRowHidden(0));
    QCOMPARE(grid.ActiveRow(), 3); // the active record stays active

    grid.DeleteRows(1, 1);
    QCOMPARE(grid.CellTag(0, 2), QStringLiteral("subtot"));
    QVERIFY(grid.RowHidden(2));
    QVERIFY(grid.isRowHidden(1));
    QVERIFY(!grid.RowHidden(3));
    QVERIFY(!grid.isRowHidden(2));
}

void SheetTest::commonSpreadDesign_data()
{
    QTest::addColumn<bool>("lock");
    QTest::addColumn<bool>("clear");
    QTest::addColumn<bool>("sortHead");
    QTest::addColumn<bool>("rowSelect");
    QTest::addColumn<bool>("oddEven");
    QTest::addColumn<bool>("rowHeaders");
    QTest::newRow("list, all options") << true << true << true << true << true << true;
    QTest::newRow("list, cell selection") << true << true << true << false << true << true;
    QTest::newRow("editable") << false << true << false << false << false << true;
    QTest::newRow("keep rows") << true << false << true << true << false << true;
    QTest::newRow("no row headers") << true << true << true << true << true << false;
}

void SheetTest::commonSpreadDesign()
{
    QFETCH(bool, lock);
    QFETCH(bool, clear);
    QFETCH(bool, sortHead);
    QFETCH(bool, rowSelect);
    QFETCH(bool, oddEven);
    QFETCH(bool, rowHeaders);

    gUseGridColors = true;
    SpreadGrid grid;
    grid.SetMaxCols(3);
    grid.SetMaxRows(4);
    grid.SetText(1, 1, QStringLiteral("kept"));
    grid.SetRowHeadersShow(rowHeaders);

    CommonSpreadDesign(&grid, lock, clear, sortHead, rowSelect, oddEven);
    grid.SetMaxRows(4);

    QCOMPARE(grid.MaxRows(), 4);
    QCOMPARE(GetSpreadText(&grid, 1, 1), clear ? QString() : QStringLiteral("kept"));
    QCOMPARE(grid.Lock(2, 3), lock);
    QCOMPARE(bool(grid.model()->flags(grid.model()->index(2, 1)) & Qt::ItemIsEditable), !lock);
    QCOMPARE(grid.OperationMode(), lock && rowSelect ? 3 : 0);
    QCOMPARE(grid.selectionBehavior(),
             lock && rowSelect ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    QCOMPARE(grid.EditModePermanent(), !lock);
    QCOMPARE(grid.EditModeReplace(), !lock);
    QCOMPARE(grid.UserColAction(), sortHead ? 1 : 0);
    QCOMPARE(grid.SelBackColor(), OleColor(12254974));
    QCOMPARE(grid.TextTip(), 1);
    QCOMPARE(grid.PassiveSettings().appearanceStyle, 0);
    QCOMPARE(grid.PassiveSettings().cursorStyle, lock ? 2 : 0);
    QCOMPARE(grid.PassiveSettings().refStyle, 2);
    QCOMPARE(grid.PassiveSettings().backColorStyle, 1);
    QVERIFY(grid.PassiveSettings().noBeep);
    QCOMPARE(grid.PassiveSettings().actionKeys[0], 0);
    QCOMPARE(grid.PassiveSettings().actionKeys[2], 0);
    QCOMPARE(grid.palette().color(QPalette::Inactive, QPalette::Highlight), QColor(254, 254, 186));
    QCOMPARE(grid.model()->headerData(0, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(),
             QColor(204, 226, 244));
    QString corner;
    grid.GetText(0, 0, corner);
    QCOMPARE(corner, rowHeaders && clear ? QStringLiteral("No") : QString());
    const QVariant even = grid.model()->index(1, 0).data(Qt::BackgroundRole);
    QCOMPARE(even.isValid(), oddEven);
    if (oddEven) {
        QCOMPARE(even.value<QBrush>().color(), QColor(243, 249, 251));
        QCOMPARE(grid.model()->index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(Qt::white));
    }
}

void SheetTest::lockedCellsRefuseEdits()
{
    SpreadGrid grid;
    grid.SetMaxCols(2);
    grid.SetMaxRows(2);
    grid.SetLock(-1, -1, true);
    grid.SetLock(2, -1, false); // one editable column
    QAbstractItemModel* model = grid.model();
    QVERIFY(!model->setData(model->index(0, 0), QStringLiteral("x"), Qt::EditRole));
    QVERIFY(model->setData(model->index(0, 1), QStringLiteral("y"), Qt::EditRole));
    QCOMPARE(GetSpreadText(&grid, 1, 1), QString());
    QCOMPARE(GetSpreadText(&grid, 2, 1), QStringLiteral("y"));
    // Locking the whole sheet again clears the column's own setting.
    grid.SetLock(-1, -1, true);
    QVERIFY(grid.Lock(2, 2));
}

void SheetTest::getSpreadTextUsesTheActiveCell()
{
    SpreadGrid grid;
    fill(grid, {"a", "b", "c"});
    QCOMPARE(GetSpreadText(&grid), QString()); // no active cell
    grid.SetActiveCell(2, 3);
    QCOMPARE(grid.ActiveCol(), 2);
    QCOMPARE(grid.ActiveRow(), 3);
    QCOMPARE(GetSpreadText(&grid), QStringLiteral("b3"));
    QCOMPARE(GetSpreadText(&grid, 1), QStringLiteral("c"));
    QCOMPARE(GetSpreadText(&grid, -2, 1), QStringLiteral("b1"));
    QCOMPARE(GetSpreadText(&grid, 3, -2), QString()); // empty cell
    QCOMPARE(GetSpreadText(nullptr), QString());
    QSignalSpy leave(&grid, &SpreadGrid::LeaveCell);
    grid.SetActiveCell(2, 1);
    QCOMPARE(leave.count(), 1);
    QCOMPARE(leave.first(), (QList<QVariant>{2, 3, 2, 1}));
}

void SheetTest::rowColoursAndSelection()
{
    SpreadGrid grid;
    fill(grid, {"a", "b", "c", "d"});
    grid.SetOddEvenRowColor(kOddRowBack, 0, kEvenRowBack, 0);
    const auto back = [&](int row) {
        return grid.model()->index(row - 1, 1).data(Qt::BackgroundRole).value<QBrush>().color();
    };
    QCOMPARE(back(1), QColor(255, 255, 255));
    QCOMPARE(back(2), QColor(243, 249, 251));
    grid.SetBackColor(-1, 2, Rgb(0, 255, 0));
    QCOMPARE(back(2), QColor(0, 255, 0));
    QCOMPARE(grid.BackColor(3, 2), Rgb(0, 255, 0));
    QCOMPARE(grid.BackColor(-1, 4), kSysWindowBackground);
    grid.SetBackColor(3, 2, Rgb(1, 2, 3)); // one cell inside the row
    QCOMPARE(grid.BackColor(3, 2), Rgb(1, 2, 3));
    grid.SetBackColor(-1, 2, Rgb(255, 255, 255)); // the row again: the cell follows
    QCOMPARE(grid.BackColor(3, 2), Rgb(255, 255, 255));
    QCOMPARE(Rgb(0, 255, 0), OleColor(65280));
    QCOMPARE(ToQColor(Rgb(10, 20, 30)), QColor(10, 20, 30));
}

void SheetTest::fontSizeOfCellsAndHeader()
{
    SpreadGrid grid;
    fill(grid, {"a"});
    const double base = grid.FontSize(1, 1);
    QVERIFY(base > 0);
    grid.SetFontSize(-1, -1, 14);
    QCOMPARE(grid.FontSize(1, 1), 14.0);
    QCOMPARE(grid.FontSize(1, 0), base);
    QCOMPARE(grid.model()->index(0, 0).data(Qt::FontRole).value<QFont>().pointSizeF(), 14.0);
    grid.SetFontSize(-1, 0, 16);
    QCOMPARE(grid.FontSize(2, 0), 16.0);
    QCOMPARE(grid.model()->headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().pointSizeF(), 16.0);
    grid.SetFontSize(-1, -1, 0); // no size: ignored
    QCOMPARE(grid.FontSize(1, 1), 14.0);
}

void SheetTest::unitsRoundTrip()
{
    SpreadGrid grid;
    grid.SetMaxCols(4);
    grid.SetMaxRows(3);
    const double cw = QFontMetricsF(grid.font()).averageCharWidth();
    grid.SetColWidth(3, 12.5);
    QCOMPARE(grid.ColWidth(3), 12.5);
    QCOMPARE(grid.columnWidth(2), int(std::lround(12.5 * cw)));
    grid.SetColWidth(-1, 5);
    QCOMPARE(grid.ColWidth(3), 5.0);
    QCOMPARE(grid.columnWidth(0), int(std::lround(5 * cw)));
    grid.SetColWidth(0, 4);
    QCOMPARE(grid.ColWidth(0), 4.0);
    QCOMPARE(grid.verticalHeader()->width(), int(std::lround(4 * cw)));

    const double dpi = grid.logicalDpiY();
    grid.SetRowHeight(-1, 24);
    QCOMPARE(grid.RowHeight(-1), 24.0);
    QCOMPARE(grid.rowHeight(1), int(std::lround(24 * dpi / 72)));
    grid.SetRowHeight(0, 26);
    QCOMPARE(grid.RowHeight(0), 26.0);
    QCOMPARE(grid.horizontalHeader()->height(), int(std::lround(26 * dpi / 72)));
    grid.SetRowHeight(2, 36);
    QCOMPARE(grid.rowHeight(1), int(std::lround(36 * dpi / 72)));

    // Hidden columns keep their width for when they come back.
    grid.SetColHidden(2, true);
    QVERIFY(grid.ColHidden(2));
    QCOMPARE(grid.ColWidth(2), 5.0);
    grid.SetColHidden(2, false);
    QCOMPARE(grid.columnWidth(1), int(std::lround(5 * cw)));
    // New columns take the default width; existing ones keep theirs.
    grid.SetMaxCols(6);
    QCOMPARE(grid.ColWidth(3), 5.0);
    QCOMPARE(grid.ColWidth(6), 9.0);
}

void SheetTest::userColumnResizeIsReportedOnce()
{
    SpreadGrid grid;
    grid.SetMaxCols(4);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy changes(&grid, &SpreadGrid::ColWidthChange);
    const double cw = QFontMetricsF(grid.font()).averageCharWidth();

    grid.horizontalHeader()->resizeSection(1, 100); // as a drag does, step by step
    grid.horizontalHeader()->resizeSection(1, 140);
    grid.horizontalHeader()->resizeSection(2, 70);
    QCOMPARE(changes.count(), 0);
    QTest::mouseRelease(grid.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.first(), (QList<QVariant>{2, 3}));
    QCOMPARE(grid.ColWidth(2), 140 / cw);
    // Programmatic changes are not the user's.
    grid.SetColWidth(1, 3);
    QTest::mouseRelease(grid.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(changes.count(), 1);
}

void SheetTest::textTipOnlyForTextThatDoesNotFit()
{
    SpreadGrid grid;
    grid.SetMaxCols(2);
    grid.SetMaxRows(2);
    grid.SetColWidth(1, 3);
    grid.SetColWidth(2, 40);
    const QString longText = QStringLiteral("화면명이 아주 긴 경우의 제목");
    grid.SetText(1, 1, longText);
    grid.SetText(2, 1, QStringLiteral("짧음"));
    grid.resize(800, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const QPoint cell1 = grid.visualRect(grid.model()->index(0, 0)).center();
    const QPoint cell2 = grid.visualRect(grid.model()->index(0, 1)).center();
    QCOMPARE(grid.TextTipAt(cell1), QString()); // tips are off
    grid.SetTextTip(1);
    QCOMPARE(grid.TextTipAt(cell1), longText);
    QCOMPARE(grid.TextTipAt(cell2), QString());
    QCOMPARE(grid.TextTipAt(QPoint(790, 190)), QString()); // no cell there
}

void SheetTest::reDrawOffCollectsChanges()
{
    SpreadGrid grid;
    grid.SetMaxCols(3);
    grid.SetMaxRows(100);
    QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
    grid.SetReDraw(false);
    for (int r = 1; r <= 100; ++r)
        grid.SetText(2, r, QString::number(r));
    grid.SetRowHidden(5, true);
    QCOMPARE(changed.count(), 0);
    QVERIFY(!grid.updatesEnabled());
    grid.SetReDraw(true);
    QVERIFY(grid.updatesEnabled());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(grid.model()->index(99, 1).data().toString(), QStringLiteral("100"));
    QVERIFY(grid.isRowHidden(4));
}

void SheetTest::outOfRangeCallsAreIgnored()
{
    SpreadGrid grid;
    grid.SetMaxCols(2);
    grid.SetMaxRows(2);
    grid.SetText(3, 1, QStringLiteral("x"));
    grid.SetText(1, 3, QStringLiteral("x"));
    grid.SetText(-1, 1, QStringLiteral("x"));
    grid.DeleteRows(0, 1);
    grid.DeleteRows(1, 99);
    grid.InsertRows(5, 1);
    grid.SetActiveCell(9, 9);
    grid.SetColWidth(7, 3);
    grid.SetRowHeight(9, 3);
    grid.SetRowHidden(9, true);
    grid.SetBackColor(5, 5, 0);
    grid.SetCellTag(5, 5, QStringLiteral("t"));
    grid.SortByColumn(9, Qt::AscendingOrder);
    grid.SetMaxRows(-4);
    QCOMPARE(grid.MaxRows(), 0);
    QCOMPARE(grid.DataRowCnt(), 0);
    QString value = QStringLiteral("old");
    QVERIFY(!grid.GetText(1, 1, value));
    QCOMPARE(value, QString());
    DeleteSpreadRow(&grid, -2, false, true);
    QCOMPARE(grid.MaxRows(), 0);
}

QTEST_MAIN(SheetTest)
#include "tst_sheet.moc"
