#include "grid/FrmSprRPTCol.h"

#include "common/MsgBox.h"
#include "common/ProfileIni.h"
#include "grid/FormIni.h"
#include "grid/SpreadGrid.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FrmSprRPTCol::FrmSprRPTCol(QWidget* parent)
    : QDialog(parent), List1(new QListWidget(this)), chkAll(new QCheckBox(QStringLiteral("전체(&A)"), this)),
      cmdSave(new QPushButton(QStringLiteral("저장(&S)"), this)),
      cmdClose(new QPushButton(QStringLiteral("닫기(&C)"), this)),
      Label1(new QLabel(QStringLiteral("- 체크한 컬럼만 보고서에 나타납니다."), this))
{
    setObjectName(QStringLiteral("FrmSprRPTCol"));
    setWindowTitle(QStringLiteral("보고서용 컬럼설정"));
    List1->setObjectName(QStringLiteral("List1"));
    chkAll->setObjectName(QStringLiteral("chkAll"));
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(List1);
    List1->setAccessibleName(QStringLiteral("보고서용 컬럼"));
    List1->setAccessibleDescription(Label1->text());
    cmdSave->setAutoDefault(false);
    cmdClose->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkAll);
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List1);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
    // A dialog of one size, no smaller than its controls need: no maximise button.
    setFixedSize(QSize(300, 380).expandedTo(minimumSizeHint()));

    connect(List1, &QListWidget::itemChanged, this, [this] {
        if (!m_filling)
            m_changed = true;
    });
    connect(chkAll, &QCheckBox::clicked, this, &FrmSprRPTCol::chkAll_Click);
    connect(cmdSave, &QPushButton::clicked, this, &FrmSprRPTCol::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

void FrmSprRPTCol::SetParam(QWidget* Frm, SpreadGrid* sp)
{
    m_filling = true;
    List1->clear();
    m_path = Frm ? FormIniPath(Frm->objectName()) : QString();
    m_section = sp ? sp->objectName() + "_RPTCOL" : QString();
    const bool stored = !m_path.isEmpty() && QFile::exists(m_path);
    for (int col = 1; sp && col <= sp->MaxCols(); ++col) {
        if (sp->ColHidden(col))
            continue;
        QString caption;
        sp->GetText(col, 0, caption);
        auto* item = new QListWidgetItem(caption, List1);
        item->setData(Qt::UserRole, col);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool ticked =
            !stored || profile::ReadString(m_path, m_section, QString::number(col), QStringLiteral("1"), 2)
                           .startsWith(QLatin1Char('1'));
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
    m_changed = false;
    m_filling = false;
}

void FrmSprRPTCol::chkAll_Click(bool checked)
{
    for (int i = 0; i < List1->count(); ++i)
        List1->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void FrmSprRPTCol::cmdSave_Click()
{
    bool ok = !m_path.isEmpty() && QDir().mkpath(QFileInfo(m_path).absolutePath());
    for (int i = 0; ok && i < List1->count(); ++i) {
        const QListWidgetItem* item = List1->item(i);
        ok = profile::WriteString(m_path, m_section, QString::number(item->data(Qt::UserRole).toInt()),
                                  item->checkState() == Qt::Checked ? QStringLiteral("1")
                                                                    : QStringLiteral("0"));
    }
    if (!ok) {
        ShowProcError(AppError{75, objectName(), QStringLiteral("Path/File access error")},
                      QStringLiteral("cmdSave_Click"), ErrScope::Form, objectName());
        return;
    }
    m_changed = false;
    MsgBox(QStringLiteral("저장을 완료하였습니다."));
    accept();
}

void FrmSprRPTCol::done(int result)
{
    if (m_changed &&
        MsgYesNo(QStringLiteral("수정된 내용이 저장되지 않았습니다. 그래도, 닫으시겠습니까?")) != vbYes)
        return;
    QDialog::done(result);
}
