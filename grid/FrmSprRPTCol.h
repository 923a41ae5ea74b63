#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class SpreadGrid;

// "보고서용 컬럼설정": the user ticks which shown columns of a grid belong in a
// report. The choice is kept in the calling window's settings file, section
// <grid name>_RPTCOL, one key per listed column: "1" ticked, "0" not (a missing
// key counts as ticked). Closing with unsaved ticks asks first.
class FrmSprRPTCol : public QDialog
{
    Q_OBJECT

public:
    explicit FrmSprRPTCol(QWidget* parent = nullptr);

    // Remembers the calling window and its grid and fills the list.
    void SetParam(QWidget* Frm, SpreadGrid* sp);

    void done(int result) override;

private:
    void chkAll_Click(bool checked);
    void cmdSave_Click();

    QListWidget* List1;
    QCheckBox* chkAll;
    QPushButton* cmdSave;
    QPushButton* cmdClose;
    QLabel* Label1;
    QString m_path;
    QString m_section;
    bool m_changed = false;
    bool m_filling = false;
};
