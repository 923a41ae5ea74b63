// The controls of the main window and how they keep their places when it is resized.
#include "controls/FieldAccess.h"
#include "controls/HCCombo.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "records/ShotBox.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// 50 twips between neighbouring buttons.
constexpr int kButtonGap = 3;

// The filter fields: when the window is too narrow for them they scroll sideways, and
// the area grows by the scroll bar so that no row hides behind it.
class FilterArea : public QScrollArea
{
public:
    FilterArea()
    {
        setFrameShape(QFrame::NoFrame);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this] { updateGeometry(); });
    }

    QSize sizeHint() const override
    {
        int height = widget() ? widget()->minimumSizeHint().height() : 0;
        if (horizontalScrollBar()->maximum() > 0)
            height += horizontalScrollBar()->sizeHint().height();
        return {QScrollArea::sizeHint().width(), height};
    }
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QScrollArea::resizeEvent(event);
        fit();
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == widget() && event->type() == QEvent::LayoutRequest) {
            updateGeometry();
            fit();
        }
        return QScrollArea::eventFilter(watched, event);
    }

private:
    // The fields take the whole width, or their least width when that is more.
    void fit()
    {
        if (QWidget* fields = widget())
            fields->resize(qMax(viewport()->width(), fields->minimumSizeHint().width()),
                           viewport()->height());
    }
};

QString indexed(const char* name, int index)
{
    return QLatin1String(name) + QLatin1Char('_') + QString::number(index);
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent = nullptr)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// The magnifier of the zoom buttons, drawn for screens of one to three device pixels a pixel.
QIcon zoomIcon()
{
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0, 3.0}) {
        QPixmap picture(QSize(16, 16) * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(40, 60, 90), 2));
        p.drawEllipse(QRectF(2, 2, 8, 8));
        p.drawLine(QPointF(9, 9), QPointF(14, 14));
        icon.addPixmap(picture);
    }
    return icon;
}

} // namespace

void FrmMain::buildControls()
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("A/S LIST"));
    // 7000 twips at the least either way.
    setMinimumSize(467, 467);

    fraTop = new QGroupBox(QStringLiteral(" 검색조건 "));
    fraTop->setObjectName(QStringLiteral("fraTop"));
    auto* topLayout = new QHBoxLayout(fraTop);
    topLayout->setContentsMargins(6, 2, 6, 4);
    auto* filterArea = new FilterArea;
    filterArea->setWidget(buildFilterBar());
    topLayout->addWidget(filterArea, 1);

    // Buttons at the right edge: add, edit, delete; find, close; the statistics under them.
    btnAdd = makeButton(QStringLiteral("btnAdd"), QStringLiteral("추가 F2"));
    btnEdit = makeButton(QStringLiteral("btnEdit"), QStringLiteral("수정 F3"));
    btnDel = makeButton(QStringLiteral("btnDel"), QStringLiteral("삭제 F4"));
    btnFind = makeButton(QStringLiteral("btnFind"), QStringLiteral("조회 F5"));
    btnClose = makeButton(QStringLiteral("btnClose"), QStringLiteral("닫기 &C"));
    Command1 = makeButton(QStringLiteral("Command1"), QStringLiteral("액셀"));
    btnStats = makeButton(QStringLiteral("btnStats"), QStringLiteral("통계 F7"));
    auto* buttons = new QGridLayout;
    buttons->setSpacing(kButtonGap);
    buttons->addWidget(btnAdd, 0, 0);
    buttons->addWidget(btnEdit, 0, 1);
    buttons->addWidget(btnDel, 0, 2);
    buttons->addWidget(Command1, 1, 0);
    buttons->addWidget(btnFind, 1, 1);
    buttons->addWidget(btnClose, 1, 2);
    buttons->addWidget(btnStats, 2, 0);
    buttons->setRowStretch(3, 1);
    topLayout->addLayout(buttons);

    fraAs = new QGroupBox(QStringLiteral(" A / S List"));
    fraAs->setObjectName(QStringLiteral("fraAs"));
    spList = new SpreadGrid;
    spList->setObjectName(QStringLiteral("spList"));
    spList->setAccessibleName(QStringLiteral("A/S 목록"));
    spList->setMinimumHeight(90);
    auto* listLayout = new QVBoxLayout(fraAs);
    listLayout->setContentsMargins(6, 2, 6, 6);
    listLayout->addWidget(spList);

    fraText = new QGroupBox(QStringLiteral(" 오류내용 / 해결책"));
    fraText->setObjectName(QStringLiteral("fraText"));
    auto* textLayout = new QVBoxLayout(fraText);
    textLayout->setContentsMargins(6, 2, 6, 6);
    textLayout->addWidget(buildDetailPane());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(fraTop);
    layout->addWidget(fraAs, 10);
    layout->addWidget(fraText, 11);

    // Tab follows the eye: the filters row by row, the commands, the list, then the detail pane.
    SetTabOrder({cmbProgram,     txtFindMemo[0], txtFindMemo[1], cmbUser[0],   chkShowMine[0], cmbUser[1],
                 chkShowMine[1], cmbUser[2],     chkShowMine[2], chkTerm,      dpListTerm[0],  dpListTerm[1],
                 txtFindMemo[2], cmbStatus,      btnAdd,         btnEdit,      btnDel,         Command1,
                 btnFind,        btnClose,       spList,         txtErr,       btnErrExtend,   btnZoom[0],
                 btnVecter[0],   btnVecter[1],   txtSolution,    btnSolExtend, btnZoom[1],     btnVecter[2],
                 btnVecter[3],   btnHistory,     btnCompany,     btnComDel,      spCom});
    setTabOrder(btnClose, btnStats);
}

QWidget* FrmMain::buildFilterBar()
{
    auto* bar = new QWidget;
    auto* grid = new QGridLayout(bar);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);

    cmbProgram = new HCCombo;
    cmbProgram->setObjectName(QStringLiteral("cmbProgram"));
    cmbStatus = new HCCombo;
    cmbStatus->setObjectName(QStringLiteral("cmbStatus"));
    for (int i = 0; i < 3; ++i) {
        txtFindMemo[i] = new QLineEdit;
        txtFindMemo[i]->setObjectName(indexed("txtFindMemo", i));
        cmbUser[i] = new HCCombo;
        cmbUser[i]->setObjectName(indexed("cmbUser", i));
        chkShowMine[i] = new QCheckBox(QStringLiteral("내것만보기"));
        chkShowMine[i]->setObjectName(indexed("chkShowMine", i));
    }
    chkTerm = new QCheckBox(QStringLiteral("등록기간 "));
    chkTerm->setObjectName(QStringLiteral("chkTerm"));
    auto* period = new QHBoxLayout;
    period->setSpacing(2);
    for (int i = 0; i < 2; ++i) {
        dpListTerm[i] = new QDateEdit;
        dpListTerm[i]->setObjectName(indexed("dpListTerm", i));
        dpListTerm[i]->setCalendarPopup(true);
        dpListTerm[i]->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        if (i == 1)
            period->addWidget(new QLabel(QStringLiteral("~")));
        period->addWidget(dpListTerm[i], 1);
    }
    dpListTerm[0]->setAccessibleName(QStringLiteral("등록기간 시작일"));
    dpListTerm[1]->setAccessibleName(QStringLiteral("등록기간 종료일"));
    chkShowMine[1]->setAccessibleName(QStringLiteral("답변자 내것만보기"));
    chkShowMine[2]->setAccessibleName(QStringLiteral("담당자 내것만보기"));

    // Three groups of label, field and check box; fields without a check box take
    // the check box's column too.
    const struct
    {
        int row, group;
        QString caption;
        QWidget* field;
        QCheckBox* check;
    } cells[] = {
        {0, 0, QStringLiteral("프로그램 : "), cmbProgram, nullptr},
        {0, 1, QStringLiteral("화면명칭 : "), txtFindMemo[0], nullptr},
        {0, 2, QStringLiteral("제 목 etc : "), txtFindMemo[1], nullptr},
        {1, 0, QStringLiteral("등 록 자 : "), cmbUser[0], chkShowMine[0]},
        {1, 1, QStringLiteral("답 변 자 : "), cmbUser[1], chkShowMine[1]},
        {1, 2, QStringLiteral("담 당 자 : "), cmbUser[2], chkShowMine[2]},
        {2, 1, QStringLiteral("업  체 명 : "), txtFindMemo[2], nullptr},
        {2, 2, QStringLiteral("답변구분 : "), cmbStatus, nullptr},
    };
    for (const auto& c : cells) {
        const int col = c.group * 3;
        grid->addWidget(FieldLabel(c.caption, c.field), c.row, col);
        c.field->setMinimumWidth(70);
        if (c.check) {
            grid->addWidget(c.field, c.row, col + 1);
            grid->addWidget(c.check, c.row, col + 2);
        } else {
            grid->addWidget(c.field, c.row, col + 1, 1, 2);
        }
    }
    grid->addWidget(chkTerm, 2, 0);
    grid->addLayout(period, 2, 1, 1, 2);
    for (int group = 0; group < 3; ++group)
        grid->setColumnStretch(group * 3 + 1, 1);
    return bar;
}

QWidget* FrmMain::buildDetailPane()
{
    auto* pane = new QWidget;
    auto* grid = new QGridLayout(pane);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);

    txtErr = new QPlainTextEdit;
    txtErr->setObjectName(QStringLiteral("txtErr"));
    txtErr->setAccessibleName(QStringLiteral("오류내용"));
    txtSolution = new QPlainTextEdit;
    txtSolution->setObjectName(QStringLiteral("txtSolution"));
    txtSolution->setAccessibleName(QStringLiteral("해결책"));
    btnErrExtend = makeButton(QStringLiteral("btnErrExtend"), QStringLiteral("확 대"));
    btnErrExtend->setAccessibleName(QStringLiteral("오류내용 확대"));
    btnSolExtend = makeButton(QStringLiteral("btnSolExtend"), QStringLiteral("확 대"));
    btnSolExtend->setAccessibleName(QStringLiteral("해결책 확대"));

    imgBase = new QLabel(pane);
    imgBase->setObjectName(QStringLiteral("imgBase"));
    imgBase->setPixmap(ShotPlaceholder());
    imgBase->hide();

    const QString groupName[2] = {QStringLiteral("질문"), QStringLiteral("답변")};
    QPlainTextEdit* texts[2] = {txtErr, txtSolution};
    QPushButton* extend[2] = {btnErrExtend, btnSolExtend};
    for (int i = 0; i < 2; ++i) {
        texts[i]->setReadOnly(true);
        texts[i]->setMinimumSize(80, 40);
        grid->addWidget(texts[i], i, 0);
        extend[i]->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        grid->addWidget(extend[i], i, 1, Qt::AlignTop);

        imgShot[i] = new ShotBox;
        imgShot[i]->setObjectName(indexed("imgShot", i));
        imgShot[i]->setAccessibleName(groupName[i] + QStringLiteral(" 스크린샷"));
        btnZoom[i] = new QToolButton(imgShot[i]);
        btnZoom[i]->setObjectName(indexed("btnZoom", i));
        btnZoom[i]->setIcon(zoomIcon());
        btnZoom[i]->setToolTip(QStringLiteral("원본 파일 열기"));
        btnZoom[i]->setAccessibleName(groupName[i] + QStringLiteral(" 스크린샷 원본 열기"));
        btnZoom[i]->move(1, 1);

        fraVector[i] = new QFrame;
        fraVector[i]->setObjectName(indexed("fraVector", i));
        auto* stepping = new QHBoxLayout(fraVector[i]);
        stepping->setContentsMargins(0, 0, 0, 0);
        stepping->setSpacing(2);
        lblConut[i] = new QLabel(QStringLiteral(" 0 / 5 "));
        lblConut[i]->setObjectName(indexed("lblConut", i));
        lblConut[i]->setAlignment(Qt::AlignCenter);
        for (int k = 0; k < 2; ++k) {
            QPushButton*& button = btnVecter[i * 2 + k];
            button = makeButton(indexed("btnVecter", i * 2 + k),
                                k == 0 ? QStringLiteral("◀") : QStringLiteral("▶"));
            button->setAccessibleName(groupName[i] + (k == 0 ? QStringLiteral(" 이전 스크린샷")
                                                             : QStringLiteral(" 다음 스크린샷")));
            button->setFixedWidth(30);
            stepping->addWidget(button);
            if (k == 0)
                stepping->addWidget(lblConut[i], 1);
        }

        auto* group = new QVBoxLayout;
        group->setSpacing(2);
        group->addWidget(imgShot[i], 1);
        group->addWidget(fraVector[i]);
        grid->addLayout(group, i, 2);
    }

    // The companies of the record, with their two buttons above them.
    btnCompany = makeButton(QStringLiteral("btnCompany"), QStringLiteral("업체추가 F6"));
    btnComDel = makeButton(QStringLiteral("btnComDel"), QStringLiteral("업체삭제"));
    btnHistory = makeButton(QStringLiteral("btnHistory"), QStringLiteral("변경이력"));
    btnHistory->hide();
    spCom = new SpreadGrid;
    spCom->setObjectName(QStringLiteral("spCom"));
    spCom->setAccessibleName(QStringLiteral("업체 목록"));
    spCom->setMinimumSize(120, 60);
    auto* companies = new QVBoxLayout;
    companies->setSpacing(3);
    auto* companyButtons = new QHBoxLayout;
    companyButtons->setSpacing(kButtonGap);
    companyButtons->addWidget(btnHistory);
    companyButtons->addStretch();
    companyButtons->addWidget(btnCompany);
    companyButtons->addWidget(btnComDel);
    companies->addLayout(companyButtons);
    companies->addWidget(spCom, 1);
    grid->addLayout(companies, 0, 3, 2, 1);

    grid->setColumnStretch(0, 20);
    grid->setColumnStretch(2, 9);
    grid->setColumnStretch(3, 12);
    return pane;
}
