// The main window's ways into the change journal: the history window of the active
// record and the record a clicked notice names.
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "records/ListGrid.h"
#include "windows/FrmHistory.h"

void FrmMain::btnHistory_Click()
{
    gCurSeq = int32_t(GetRowSeq(-2));
    if (gCurSeq == 0) {
        MsgInfo(QStringLiteral("먼저 그리드에서 이력을 볼 자료를 선택하세요."));
        spList->setFocus();
        return;
    }
    ShowHistory(this, gCurSeq);
}

void FrmMain::ShowRecord(long seq)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    int row = 0;
    for (int r = 1; r <= spList->MaxRows() && row == 0; ++r)
        if (GetRowSeq(r) == seq)
            row = r;
    if (row == 0) {
        // Not listed under the current filters: read it in as the first row.
        const bool wasNew = gNewRecord;
        gNewRecord = true;
        const int before = spList->MaxRows();
        AddGridRows(seq);
        gNewRecord = wasNew;
        if (spList->MaxRows() == before)
            return; // deleted meanwhile
        row = 1;
    }
    spList->SetActiveCell(ListColQusDate, row);
    DispDetail(row);
}
