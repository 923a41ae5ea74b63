// The controls of the record editor and their places.
#include "common/Globals.h"
#include "controls/FieldAccess.h"
#include "controls/HCCombo.h"
#include "controls/HCText.h"
#include "editor/FrmAS.h"
#include "records/ShotBox.h"
#include "windows/FrmHistory.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

QString indexed(const char* name, int index)
{
    return QLatin1String(name) + QLatin1Char('_') + QString::number(index);
}

QPushButton* makeButton(const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QPlainTextEdit* makeTextArea(const QString& name, const QString& accessibleName)
{
    auto* text = new QPlainTextEdit;
    text->setObjectName(name);
    text->setAccessibleName(accessibleName);
    text->setTabChangesFocus(true);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setMinimumHeight(60);
    return text;
}

// Keeps the widget's room in the layout while it is hidden, so the half does not jump.
void keepRoomWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

const QString kHalfName[2] = {QStringLiteral("오류내용"), QStringLiteral("답변")};

} // namespace

void FrmAS::buildControls()
{
    setObjectName(QStringLiteral("FrmAS"));

    imgBase = new QLabel(this);
    imgBase->setObjectName(QStringLiteral("imgBase"));
    imgBase->setPixmap(ShotPlaceholder());
    imgBase->hide();
    lblRecKey = new QLabel(QStringLiteral("0"), this);
    lblRecKey->setObjectName(QStringLiteral("lblRecKey"));
    lblRecKey->hide();

    auto* halves = new QHBoxLayout;
    halves->setSpacing(8);
    halves->addWidget(buildQuestionHalf(), 1);
    halves->addWidget(buildAnswerHalf(), 1);

    chkContinueAdd = new QCheckBox(QStringLiteral("계속 등록하기(&N)"));
    chkContinueAdd->setObjectName(QStringLiteral("chkContinueAdd"));
    btnHistory = makeButton(QStringLiteral("btnHistory"), QStringLiteral("변경이력"));
    btnHistory->hide();
    btnSave = makeButton(QStringLiteral("btnSave"), QStringLiteral("저  장 F2"));
    btnClose = makeButton(QStringLiteral("btnClose"), QStringLiteral("닫  기(&C)"));
    auto* commands = new QHBoxLayout;
    commands->addWidget(chkContinueAdd);
    commands->addWidget(btnHistory);
    commands->addStretch();
    commands->addWidget(btnSave);
    commands->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(halves, 1);
    layout->addLayout(commands);
    orderTabs();
    // 760 x 520 at the least, and never smaller than the fields and screenshots need.
    setMinimumSize(QSize(760, 520).expandedTo(layout->totalMinimumSize()));
    resize(1100, 720);
}

QGroupBox* FrmAS::buildQuestionHalf()
{
    fraQuestion = new QGroupBox(QStringLiteral(" 오류내용"));
    fraQuestion->setObjectName(QStringLiteral("fraQuestion"));
    cmbProgram = new HCCombo;
    cmbProgram->setObjectName(QStringLiteral("cmbProgram"));
    for (int i = 0; i < 4; ++i) {
        htField[i] = new HCText;
        htField[i]->setObjectName(indexed("htField", i));
    }
    for (int i = 0; i < 2; ++i) {
        cmbUser[i] = new HCCombo;
        cmbUser[i]->setObjectName(indexed("cmbUser", i));
    }
    txtField = makeTextArea(QStringLiteral("txtField"), QStringLiteral("내용"));
    btnErrExtend = makeButton(QStringLiteral("btnErrExtend"), QStringLiteral("오류내용확대"));

    auto* grid = new QGridLayout(fraQuestion);
    grid->addWidget(FieldLabel(QStringLiteral("프로그램 : "), cmbProgram), 0, 0);
    grid->addWidget(cmbProgram, 0, 1, 1, 3);
    grid->addWidget(FieldLabel(QStringLiteral("화면명칭 : "), htField[0]), 1, 0);
    grid->addWidget(htField[0], 1, 1, 1, 3);
    grid->addWidget(FieldLabel(QStringLiteral("업 체 명 : "), htField[1]), 2, 0);
    grid->addWidget(htField[1], 2, 1, 1, 3);
    grid->addWidget(FieldLabel(QStringLiteral("제     목 : "), htField[2]), 3, 0);
    grid->addWidget(htField[2], 3, 1, 1, 3);
    grid->addWidget(FieldLabel(QStringLiteral("등록일시 : "), htField[3]), 4, 0);
    grid->addWidget(htField[3], 4, 1);
    grid->addWidget(FieldLabel(QStringLiteral("등 록 자 : "), cmbUser[0]), 4, 2);
    grid->addWidget(cmbUser[0], 4, 3);

    auto* textLabel = new QVBoxLayout;
    textLabel->addWidget(FieldLabel(QStringLiteral("내     용 : "), txtField));
    textLabel->addWidget(btnErrExtend);
    textLabel->addStretch();
    grid->addLayout(textLabel, 5, 0);
    grid->addWidget(txtField, 5, 1, 1, 3);
    grid->addWidget(buildShotStrip(0), 6, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);
    return fraQuestion;
}

QGroupBox* FrmAS::buildAnswerHalf()
{
    fraAnswer = new QGroupBox(QStringLiteral(" 답변"));
    fraAnswer->setObjectName(QStringLiteral("fraAnswer"));
    cmbStatus = new HCCombo;
    cmbStatus->setObjectName(QStringLiteral("cmbStatus"));
    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    dpFtp = new QDateEdit;
    dpFtp->setObjectName(QStringLiteral("dpFtp"));
    dpFtp->setCalendarPopup(true);
    dpFtp->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    htTime = new HCText;
    htTime->setObjectName(QStringLiteral("htTime"));
    htTime->setAcceptType(HCText::Time);
    SetFieldName(htTime, QStringLiteral("배포 시각"));
    htTime->setMinimumWidth(60);
    lblFtp = FieldLabel(QStringLiteral("배 포 일 : "), dpFtp);
    lblFtp->setObjectName(QStringLiteral("lblFtp_10"));
    btnDate = makeButton(QStringLiteral("btnDate"), QStringLiteral("배포일시"));
    btnReset = makeButton(QStringLiteral("btnReset"), QStringLiteral("배포취소"));
    for (QWidget* w : std::initializer_list<QWidget*>{lblFtp, dpFtp, htTime, btnDate, btnReset})
        keepRoomWhenHidden(w);
    txtSolution = makeTextArea(QStringLiteral("txtSolution"), QStringLiteral("해결책"));
    btnExtend = makeButton(QStringLiteral("btnExtend"), QStringLiteral("해결책확대"));

    auto* grid = new QGridLayout(fraAnswer);
    grid->addWidget(FieldLabel(QStringLiteral("답변구분 : "), cmbStatus), 0, 0);
    grid->addWidget(cmbStatus, 0, 1);
    grid->addWidget(lblStatus, 0, 2, 1, 2);
    grid->addWidget(FieldLabel(QStringLiteral("답 변 자  : "), cmbUser[1]), 1, 0);
    grid->addWidget(cmbUser[1], 1, 1);
    auto* completion = new QHBoxLayout;
    completion->addWidget(dpFtp, 2);
    completion->addWidget(htTime, 1);
    completion->addWidget(btnDate);
    completion->addWidget(btnReset);
    grid->addWidget(lblFtp, 2, 0);
    grid->addLayout(completion, 2, 1, 1, 3);

    auto* textLabel = new QVBoxLayout;
    textLabel->addWidget(FieldLabel(QStringLiteral("해 결 책  : "), txtSolution));
    textLabel->addWidget(btnExtend);
    textLabel->addStretch();
    grid->addLayout(textLabel, 3, 0);
    grid->addWidget(txtSolution, 3, 1, 1, 3);
    grid->addWidget(buildShotStrip(1), 4, 0, 1, 4);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);
    return fraAnswer;
}

// The five screenshots of a half with their option buttons, and the half's buttons.
QWidget* FrmAS::buildShotStrip(int half)
{
    auto* strip = new QWidget;
    auto* grid = new QGridLayout(strip);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(QStringLiteral("스      샷 : ")), 0, 0, Qt::AlignTop);
    for (int k = 0; k < kSlotsPerHalf; ++k) {
        const int slot = half * kSlotsPerHalf + k;
        imgShot[slot] = new ShotBox;
        imgShot[slot]->setObjectName(indexed("imgShot", slot));
        imgShot[slot]->setAccessibleName(kHalfName[half] + QStringLiteral(" 스크린샷 %1").arg(k + 1));
        imgShot[slot]->setMinimumSize(72, 54);
        optSelect[slot] = new QRadioButton;
        optSelect[slot]->setObjectName(indexed("optSelect", slot));
        optSelect[slot]->setAutoExclusive(false);
        optSelect[slot]->setAccessibleName(kHalfName[half] + QStringLiteral(" 스크린샷 %1 선택").arg(k + 1));
        grid->addWidget(imgShot[slot], 0, k + 1);
        grid->addWidget(optSelect[slot], 1, k + 1, Qt::AlignHCenter);
        grid->setColumnStretch(k + 1, 1);
    }
    grid->setRowMinimumHeight(0, 80);
    grid->setRowStretch(0, 1);

    btnShot[half] = makeButton(indexed("btnShot", half), QStringLiteral("스  샷(&S)"));
    btnAppend[half] = makeButton(indexed("btnAppend", half), QStringLiteral("첨부사진"));
    btnShotDel[half] = makeButton(indexed("btnShotDel", half), QStringLiteral("삭  제 F4"));
    for (QPushButton* button : {btnShot[half], btnAppend[half], btnShotDel[half]})
        button->setAccessibleName(kHalfName[half] + QLatin1Char(' ') +
                                  button->text().remove(QLatin1Char(' ')));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnShot[half]);
    buttons->addWidget(btnAppend[half]);
    buttons->addWidget(btnShotDel[half]);
    grid->addLayout(buttons, 2, 0, 1, kSlotsPerHalf + 1);
    return strip;
}

// Tab moves through each half from top to bottom, then to the window's own commands.
void FrmAS::orderTabs()
{
    QList<QWidget*> order = {cmbProgram, htField[0], htField[1], htField[2],
                             htField[3], cmbUser[0], txtField,   btnErrExtend};
    const auto addStrip = [&](int half) {
        for (int k = 0; k < kSlotsPerHalf; ++k)
            order << optSelect[half * kSlotsPerHalf + k];
        order << btnShot[half] << btnAppend[half] << btnShotDel[half];
    };
    addStrip(0);
    order << cmbStatus << cmbUser[1] << dpFtp << htTime << btnDate << btnReset << txtSolution << btnExtend;
    addStrip(1);
    order << chkContinueAdd << btnHistory << btnSave << btnClose;
    SetTabOrder(order);
}

void FrmAS::connectEvents()
{
    const auto shortcut = [this](Qt::Key key, auto slot) {
        auto* s = new QShortcut(QKeySequence(key), this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(Qt::Key_F2, &FrmAS::btnSave_Click);
    shortcut(Qt::Key_Escape, &QWidget::close);
    connect(btnSave, &QPushButton::clicked, this, &FrmAS::btnSave_Click);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(btnHistory, &QPushButton::clicked, this, [this] { ShowHistory(this, gCurSeq); });
    connect(cmbStatus, &HCCombo::Click, this, &FrmAS::cmbStatus_Click);
    connect(btnDate, &QPushButton::clicked, this, &FrmAS::btnDate_Click);
    connect(btnReset, &QPushButton::clicked, this, &FrmAS::btnReset_Click);
    connect(btnErrExtend, &QPushButton::clicked, this, &FrmAS::btnErrExtend_Click);
    connect(btnExtend, &QPushButton::clicked, this, &FrmAS::btnExtend_Click);
    connect(chkContinueAdd, &QCheckBox::clicked, this, &FrmAS::chkContinueAdd_Click);
    for (int half = 0; half < 2; ++half) {
        connect(btnShot[half], &QPushButton::clicked, this, [this, half] { Screen_Shot(half); });
        connect(btnAppend[half], &QPushButton::clicked, this, [this, half] { btnAppend_Click(half); });
        connect(btnShotDel[half], &QPushButton::clicked, this, [this, half] { btnShotDel_Click(half); });
    }
    for (int slot = 0; slot < kShotSlots; ++slot) {
        connect(imgShot[slot], &ShotBox::clicked, this, [this, slot] { imgShot_Click(slot); });
        connect(imgShot[slot], &ShotBox::doubleClicked, this, [this, slot] { imgShot_DblClick(slot); });
        connect(optSelect[slot], &QRadioButton::clicked, this, [this, slot] { imgShot_Click(slot); });
    }
    // Pictures: pasted with Ctrl+V wherever the focus is, dropped onto a half.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    setAcceptDrops(true);
}
