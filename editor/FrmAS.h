#pragma once

#include "editor/EditorRights.h"
#include "editor/RecordSave.h"

#include <QDialog>
#include <QSize>
#include <array>

class FrmMain;

// The largest picture a screenshot slot shows; the whole picture is read when it is zoomed.
inline constexpr QSize kSlotPicture(320, 240);
class HCCombo;
class HCText;
class QCheckBox;
class QDateEdit;
class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class ShotBox;

// Opens the record editor modally over the main window: for a new record, or for the
// main window's active list row with the fields the user may not change switched off.
void OpenRecordEditor(FrmMain* main, bool newRecord);

// The record editor: one A/S record, its question half (program, screen, company, title,
// registration, asker, request text, five screenshots) and its answer half (status,
// answerer, completion date, solution, five screenshots).
//
// Control arrays are arrays of pointers indexed from 0; each member's object name is the
// array's name, "_" and its index (htField_0 .. htField_3, imgShot_0 .. imgShot_9).
// Index 0 of btnShot, btnAppend and btnShotDel serves the question half, 1 the answer half.
class FrmAS : public QDialog
{
    Q_OBJECT

public:
    // Loads the window as an empty new record.
    explicit FrmAS(FrmMain* main);
    ~FrmAS() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

public:
    // Fills the window from row `row` of the main window's list and from the database.
    // False when the record could not be read; recordGone() then tells whether it no
    // longer exists.
    bool DispRec(int row);
    bool recordGone() const { return m_gone; }
    // Switches off what the user may not change.
    void ApplyRights(const EditorRights& rights);
    // The rights of the logged-in user on list row `row` as it shows now.
    void ApplyRightsFor(int row);

    void InitCombos();
    void DisableAnswerSide();
    void EnableAnswerSide();
    void cmbStatus_Click();

    void btnSave_Click();
    bool SaveNew();
    bool SaveUpdate();
    void ResetEditor();

    // Screenshots.
    void Screen_Shot(int index);
    void btnAppend_Click(int index);
    void btnShotDel_Click(int index);
    void imgShot_Click(int index);
    void imgShot_DblClick(int index);
    // Ctrl+V with a picture on the clipboard: the picture is stored as a capture (a JPEG
    // in the capture folder, named like one) in the half that holds the focus. False
    // when the clipboard holds no picture or that half takes none.
    bool PastePicture();
    // A picture file attached to half `half` as btnAppend attaches a chosen one.
    void AttachPicture(int half, const QString& path);
    // The half (0 question, 1 answer) a widget of the window belongs to; -1 for none.
    int HalfOf(const QWidget* widget) const;

    void btnDate_Click();
    void btnReset_Click();
    void btnErrExtend_Click();
    void btnExtend_Click();
    void chkContinueAdd_Click();

    // The record number ("0" for a new record), the selected slot (10 for none), the
    // slots' paths and the first company row.
    long recordKey() const;
    int shotSelection() const { return m_nShotSel; }
    const ShotTags& shotTags() const { return m_tags; }
    long companySeq() const { return m_nCompanySeq; }

    // --- Question half
    QGroupBox* fraQuestion = nullptr;
    HCCombo* cmbProgram = nullptr;
    std::array<HCText*, 4> htField{};
    QPlainTextEdit* txtField = nullptr;
    std::array<HCCombo*, 2> cmbUser{};
    QPushButton* btnErrExtend = nullptr;

    // --- Answer half
    QGroupBox* fraAnswer = nullptr;
    HCCombo* cmbStatus = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblFtp = nullptr; // lblFtp(10), object name lblFtp_10
    QDateEdit* dpFtp = nullptr;
    HCText* htTime = nullptr;
    QPushButton* btnDate = nullptr;
    QPushButton* btnReset = nullptr;
    QPlainTextEdit* txtSolution = nullptr;
    QPushButton* btnExtend = nullptr;

    // --- Screenshots of both halves
    std::array<ShotBox*, 10> imgShot{};
    std::array<QRadioButton*, 10> optSelect{};
    std::array<QPushButton*, 2> btnShot{};
    std::array<QPushButton*, 2> btnAppend{};
    std::array<QPushButton*, 2> btnShotDel{};
    QLabel* imgBase = nullptr;

    QLabel* lblRecKey = nullptr;
    QCheckBox* chkContinueAdd = nullptr;
    QPushButton* btnHistory = nullptr; // the record's change history; edit mode only
    QPushButton* btnSave = nullptr;
    QPushButton* btnClose = nullptr;

private:
    // FrmASUi.cpp
    void buildControls();
    QGroupBox* buildQuestionHalf();
    QGroupBox* buildAnswerHalf();
    QWidget* buildShotStrip(int half);
    void orderTabs();
    void connectEvents();

    void Form_Load();
    void setCompletionVisible(bool dateVisible, bool buttonsVisible);
    void selectStatus(int index);
    bool textsStorable();
    EditorRecord fieldsToRecord() const;
    bool saveSucceeded(const SaveOutcome& outcome);
    // A changed record another save changed first: the user is told what changed and may
    // have it read again, keeping what they typed in the parts the other save left alone.
    void offerReload(const QList<int>& theirs);
    void reloadKeeping(const EditorRecord& mine, const QList<int>& keep);
    // The record was deleted meanwhile: nothing can be saved, what was typed stays readable.
    void recordVanished();

    // FrmASShots.cpp
    void showSlot(int slot, const QString& path, const QPixmap& picture);
    void clearSlot(int slot);
    void selectSlot(int slot);

    FrmMain* m_main;
    ShotTags m_tags;
    int m_nShotSel = 0;
    long m_nCompanySeq = 0;
    // The record as DispRec loaded it: a save stores only over that same row.
    StoredRecord m_loaded;
    bool m_ftpRemoved = false; // btnReset took the completion date away
    bool m_gone = false;       // the record no longer exists
    // The record's own values, kept for the lists that do not show them (a hidden program
    // or user): saved as they were while the field still shows the loaded name.
    long m_loadedProgramCode = 0;
    std::array<QString, 2> m_loadedUserName;
    std::array<QString, 2> m_loadedUserId;
};
