#pragma once

#include "records/ListSearch.h"
#include "records/ShotGroups.h"

#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <array>

class FrmStats;
class HCCombo;
class QCheckBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class ShotBox;
class SpreadGrid;

// The main window's key for the Excel import, whose button (Command1) stays hidden.
inline constexpr QKeyCombination kExcelImportKey(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_I);

// The caption of the program's main windows: the application title, the version
// (major.minor.revision) and the database server.
QString MainWindowCaption();

// The main window: the filter bar and the A/S list above, the detail pane of the
// selected record below. It stays open for the whole run; closing it ends the program.
//
// Control arrays are arrays of pointers indexed from 0; each member's object name is
// the array's name, "_" and its index (chkShowMine_0 .. chkShowMine_2).
class FrmMain : public QWidget
{
    Q_OBJECT

public:
    explicit FrmMain(QWidget* parent = nullptr);
    ~FrmMain() override;

    // The start sequence: caption, place and size, grids, saved layout, filters and
    // their lists; then the window is shown and the first search runs.
    void Form_Load();

    // Rebuilds the list from the filters.
    void SearchList() { SearchListWith(OpenListRecordset); }
    // The same with another reader of the rows (the benchmarks time the reference
    // statement through it).
    void SearchListWith(ListReader read);
    // The filters as the search reads them.
    ListFilters CurrentFilters() const;

    // The detail pane.
    void ClearDetail();
    void DispDetail(int row);
    // Puts a record saved by the editor back into the list: as the new first row after
    // an insert (gNewRecord), over the active row after an update.
    void AddGridRows(long nSEQ);
    // The list row of record `seq` made the active row; false when the list does not hold it.
    bool SelectListedRecord(long seq);
    // Takes a record that no longer exists out of the list.
    void DropListedRecord(long seq);

    // The record number of a list row (-2: the active row); 0 when the list is empty.
    long GetRowSeq(int row) const;
    // The asking / answering user's id of the active row; "" when the list is empty.
    QString GetRowAskId() const;
    QString GetRowAnsId() const;

    void chkShowMine_Click(int index);
    void chkTerm_Click();
    void btnVecter_Click(int index);
    void btnZoom_Click(int index);
    void imgShot_Click(int index);
    void btnErrExtend_Click();
    void btnSolExtend_Click();
    // Opens the companies window: for a new company of the active record (btnCompany,
    // F6), or for the active company row (double-click on spCom).
    void btnCompany_Click();
    void spCom_DblClick();

    // Record commands: add (btnAdd, F2), edit the active record (btnEdit, F3, Enter or
    // Space in spList, double-click on a list row), delete it (btnDel, F4, Delete in
    // spList). Only the asking user may delete a record.
    void btnAdd_Click();
    void btnEdit_Click();
    void RecDelete();
    // Deletes the active company row; only the user who registered it may.
    void btnComDel_Click();
    // Opens the change history of the active record (btnHistory, shown only when the
    // database keeps a journal).
    void btnHistory_Click();
    // Brings the window up with record `seq` selected, reading it into the list first
    // when the list does not show it (a clicked desktop notice).
    void ShowRecord(long seq);
    // Opens the Excel import window; also by the key kExcelImportKey.
    void Command1_Click();
    // Ends the program at once, without saving the window's place.
    void btnClose_Click();
    // Opens the statistics window (btnStats, F7), or brings it to the front.
    void btnStats_Click();

    const ShotGroups& shots() const { return m_shots; }
    // The picture an image box shows; null while it shows the picture of imgBase.
    const QPixmap& shotPicture(int index) const { return m_shotPicture[index]; }
    // Position (of the frame) and size right after the saved layout was applied at start.
    const QRect& loadedGeometry() const { return m_loadedGeometry; }

    // --- Filter bar
    QGroupBox* fraTop = nullptr;
    std::array<QCheckBox*, 3> chkShowMine{};
    std::array<HCCombo*, 3> cmbUser{};
    QCheckBox* chkTerm = nullptr;
    std::array<QDateEdit*, 2> dpListTerm{};
    HCCombo* cmbProgram = nullptr;
    std::array<QLineEdit*, 3> txtFindMemo{};
    HCCombo* cmbStatus = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnDel = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* btnStats = nullptr;

    // --- List
    QGroupBox* fraAs = nullptr;
    SpreadGrid* spList = nullptr;

    // --- Detail pane
    QGroupBox* fraText = nullptr;
    QPlainTextEdit* txtErr = nullptr;
    QPlainTextEdit* txtSolution = nullptr;
    QPushButton* btnErrExtend = nullptr;
    QPushButton* btnSolExtend = nullptr;
    std::array<ShotBox*, 2> imgShot{};
    QLabel* imgBase = nullptr;
    std::array<QFrame*, 2> fraVector{};
    std::array<QLabel*, 2> lblConut{};
    std::array<QPushButton*, 4> btnVecter{};
    std::array<QToolButton*, 2> btnZoom{};
    SpreadGrid* spCom = nullptr;
    QPushButton* btnCompany = nullptr;
    QPushButton* btnComDel = nullptr;
    QPushButton* btnHistory = nullptr;

signals:
    // The window was closed; the program ends with it.
    void Unloaded();
    // The record editor is to open: for a new record, or for the active list row
    // (gCurSeq) once the edit command's checks passed.
    void EditorRequested(bool newRecord);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // FrmMainUi.cpp
    void buildControls();
    QWidget* buildFilterBar();
    QWidget* buildDetailPane();
    void connectEvents();

    // FrmMainDetail.cpp
    void showBase(int index);
    bool showShotFile(int index, const QString& storedPath, struct AppError* error);

    void spList_Click();
    void spList_LeaveCell(int row, int newRow);
    void spList_RightClick(int clickType);
    void spList_ColWidthChange(int col1, int col2);
    void spList_KeyDown(int key);
    void spList_DblClick(int row);

    ShotGroups m_shots;
    std::array<QPixmap, 2> m_shotPicture;
    QRect m_loadedGeometry;
    // btnClose ends the program without the close handling.
    bool m_endAtOnce = false;
    QPointer<FrmStats> m_stats;
};
