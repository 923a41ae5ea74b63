// The detail pane of the main window: the selected record's texts, screenshots and
// companies, and the list rows the other windows read and write.
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "db/Query.h"
#include "grid/MduSpread.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "records/ListGrid.h"
#include "records/ShotBox.h"
#include "records/ShotFiles.h"
#include "records/WaitCursor.h"
#include "windows/FrmExtend.h"
#include "windows/FrmZoom_Image.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

void showDetailError(const AppError& error)
{
    ShowProcError(error, QStringLiteral("spList"), ErrScope::Form, QStringLiteral("FrmMain"));
}

} // namespace

long FrmMain::GetRowSeq(int row) const
{
    if (spList->MaxRows() == 0)
        return 0;
    return GetSpreadText(spList, ListColKey, row).trimmed().toLong();
}

QString FrmMain::GetRowAskId() const
{
    return spList->MaxRows() == 0 ? QString() : GetSpreadText(spList, ListColAskId, -2);
}

QString FrmMain::GetRowAnsId() const
{
    return spList->MaxRows() == 0 ? QString() : GetSpreadText(spList, ListColAnsId, -2);
}

void FrmMain::showBase(int index)
{
    m_shotPicture[index] = QPixmap();
    imgShot[index]->setPicture(imgBase->pixmap());
}

// Shows a stored screenshot; false (with the image box untouched) when it cannot be
// loaded, the error in `error`.
bool FrmMain::showShotFile(int index, const QString& storedPath, AppError* error)
{
    QPixmap picture = LoadShot(storedPath, error);
    if (picture.isNull())
        return false;
    m_shotPicture[index] = picture;
    imgShot[index]->setPicture(picture);
    return true;
}

void FrmMain::ClearDetail()
{
    txtErr->clear();
    txtSolution->clear();
    for (QLabel* counter : lblConut)
        counter->setText(ShotGroups::clearedCounter());
    spCom->SetMaxRows(0);
    m_shots.clear();
    showBase(0);
    showBase(1);
}

void FrmMain::DispDetail(int row)
{
    ClearDetail();
    gCurSeq = int32_t(GetRowSeq(row));
    RecordSetPtr rs;
    const long count = OpenRecordset(rs, DetailStatement(gCurSeq));
    spCom->SetMaxRows(int(count));
    if (!rs || rs->Eof()) { // no such record (any more): the pane stays empty
        spCom->SetMaxRows(0);
        CloseRecordset(rs);
        return;
    }
    std::array<QString, 10> paths;
    for (int i = 0; i < 10; ++i)
        paths[i] = rs->Field(QStringLiteral("sshot") + QString::number(i + 1));
    m_shots.load(paths);
    txtErr->setPlainText(rs->Field(QStringLiteral("errtext")));
    txtSolution->setPlainText(rs->Field(QStringLiteral("solution")));

    for (int group = 0; group < 2; ++group) {
        const QString& first = m_shots.path(group * 5);
        AppError error;
        if (!first.isEmpty() && !showShotFile(group, first, &error)) {
            showDetailError(error);
            CloseRecordset(rs);
            return;
        }
        lblConut[group]->setText(m_shots.firstCounter(group));
    }

    WaitCursor wait;
    spCom->SetReDraw(false);
    for (int r = 1; !rs->Eof(); ++r, rs->MoveNext())
        WriteCompanyRow(spCom, r, *rs);
    CloseRecordset(rs);
    spCom->SetReDraw(true);
}

void FrmMain::btnVecter_Click(int index)
{
    const auto step = m_shots.step(index);
    if (!step)
        return;
    lblConut[step->group]->setText(step->counter);
    // A slot whose file cannot be loaded shows the picture of imgBase.
    if (!showShotFile(step->group, m_shots.path(step->slot), nullptr))
        showBase(step->group);
}

void FrmMain::btnZoom_Click(int index)
{
    const QUrl url = ShotOpenUrl(m_shots.path(m_shots.zoomSlot(index)));
    if (!url.isEmpty())
        QDesktopServices::openUrl(url);
}

// The placeholder opens enlarged like any screenshot.
void FrmMain::imgShot_Click(int index)
{
    FrmZoom_Image::showPicture(this, imgShot[index]->picture());
}

void FrmMain::btnErrExtend_Click()
{
    gExtendMode = QStringLiteral("2");
    FrmExtend::edit(this, txtErr->toPlainText(), true);
}

void FrmMain::btnSolExtend_Click()
{
    gExtendMode = QStringLiteral("3");
    FrmExtend::edit(this, txtSolution->toPlainText(), true);
}

void FrmMain::AddGridRows(long nSEQ)
{
    WaitCursor wait;
    spList->SetReDraw(false);
    RecordSetPtr rs;
    const long count = OpenRecordset(rs, ListRecordStatement(nSEQ));
    if (count > 0 && rs) {
        if (gNewRecord) {
            spList->SetMaxRows(spList->MaxRows() + int(count));
            spList->InsertRows(1, int(count));
            for (int row = 1; !rs->Eof(); ++row, rs->MoveNext())
                WriteListRow(spList, row, *rs);
        } else if (spList->ActiveRow() >= 1) {
            for (; !rs->Eof(); rs->MoveNext())
                WriteListRow(spList, spList->ActiveRow(), *rs);
        }
        if (spList->MaxRows() >= 1)
            spList->SetActiveCell(ListColQusDate, 1);
    }
    CloseRecordset(rs);
    spList->SetReDraw(true);
    // The pane shows what the list's active row now holds.
    if (spList->MaxRows() >= 1)
        DispDetail(spList->ActiveRow());
}

namespace {

int listRowOf(const SpreadGrid* spList, long seq)
{
    for (int row = 1; row <= spList->MaxRows(); ++row)
        if (GetSpreadText(spList, ListColKey, row).trimmed().toLong() == seq)
            return row;
    return 0;
}

} // namespace

bool FrmMain::SelectListedRecord(long seq)
{
    const int row = listRowOf(spList, seq);
    if (row >= 1)
        spList->SetActiveCell(ListColQusDate, row);
    return row >= 1;
}

void FrmMain::DropListedRecord(long seq)
{
    const int row = listRowOf(spList, seq);
    if (row < 1)
        return;
    DeleteSpreadRow(spList, row, false, true);
    if (spList->MaxRows() >= 1)
        DispDetail(spList->ActiveRow());
    else
        ClearDetail();
}
