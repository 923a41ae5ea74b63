#pragma once

#include "grid/ExcelWorkbooks.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class SpreadGrid;

// Opens the Excel import window modally (the main window's "액셀" button).
void ShowExcelImport(QWidget* parent);

// The Excel import: a worksheet of a workbook (Excel 2.x to 2003, 2007 and later, or a
// CSV file) is
// shown in the grid, and two INSERT statements are built from it for the operator
// to run: the A/S records (sheet row 1 holds titles; from row 2: program name,
// screen name, title, request text) and then their company rows, numbered from
// the first new record number the operator types into Text2. Nothing is written
// to the database here.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    // With a path the workbook is opened while the window loads, its sheet chosen
    // by the saved "SheetIdx".
    explicit Form2(QWidget* parent = nullptr, const QString& path = {});

    void btnGetXLSFile_Click();
    void OpenWorkbook(const QString& path);
    void LoadSheet(int index);
    void BuildListInsert();
    void BuildCompanyInsert();
    // The file chosen in the open-file dialog (starting in the program's folder, or in the
    // folder of a full initial path), or "".
    QString PickExcelFile(const QString& initialPath, const QString& title, const QString& filter);

    QLineEdit* txtPathExcel;
    QPushButton* btnGetXLSFile;
    QComboBox* cmbSheet;
    SpreadGrid* spList;
    QPushButton* btnImport;
    QPlainTextEdit* Text1;
    QLineEdit* Text2;
    QPushButton* chameleonButton1;
    QPlainTextEdit* Text3;

private:
    void Form_Load();

    ExcelWorkbooks m_workbooks;
    int16_t m_handle = -1;
    long m_recordCount = 0;
    QString m_serverTime;
    bool m_loading = false;
};
