#pragma once

#include <QDialog>
#include <array>

class FrmMain;
class HCCombo;
class HCText;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// Opens the companies window modally over the main window: for a new company of the
// record gCurSeq, or (row >= 1) for editing row `row` of the main window's spCom.
void ShowCompany(FrmMain* main, int spComRow = 0);

// The companies window: adds a customer company to the record gCurSeq, or edits the
// name and memo of one of its company rows. After each save the main window's
// companies grid and the company count of its active list row are reloaded.
//
// htCom(0) program and htCom(1) title of the record (read only), htCom(2) write date,
// htCom(3) company name; object names htCom_0 .. htCom_3.
class FrmCompany : public QDialog
{
    Q_OBJECT

public:
    // Loads the window in new-company mode.
    explicit FrmCompany(FrmMain* main);

    // Switches to edit mode for row `row` of the main window's spCom.
    void DispRec(int row);

    void btnAdd_Click();
    bool InsertCompany();
    bool UpdateCompany();
    void RefreshMainCompanies();

    bool isEditMode() const;

    std::array<HCText*, 4> htCom{};
    QPlainTextEdit* txtMemo = nullptr;
    HCCombo* cmbUser = nullptr;
    QCheckBox* chkContinueAdd = nullptr;
    QLabel* lblComKey = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnClose = nullptr;

private:
    void buildControls();
    void Form_Load();
    void InitCompany();
    void selectUserByName(const QString& name);
    bool textsCanBeStored(bool edit);

    FrmMain* m_main;
    // Name and memo as DispRec loaded them.
    QString m_loadedName;
    QString m_loadedMemo;
};
