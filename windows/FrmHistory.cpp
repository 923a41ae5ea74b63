#include "windows/FrmHistory.h"

#include "journal/JournalHistory.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

FrmHistory::FrmHistory(long seq, QWidget* parent) : QDialog(parent), lstHistory(new QTreeWidget)
{
    setObjectName(QStringLiteral("FrmHistory"));
    setWindowTitle(QStringLiteral("변경 이력 - A/S %1").arg(seq));

    lstHistory->setObjectName(QStringLiteral("lstHistory"));
    lstHistory->setAccessibleName(QStringLiteral("변경 이력"));
    lstHistory->setRootIsDecorated(false);
    lstHistory->setUniformRowHeights(true);
    lstHistory->setHeaderLabels(
        {QStringLiteral("일시"), QStringLiteral("사용자"), QStringLiteral("변경 내용")});
    QList<QTreeWidgetItem*> items;
    for (const JournalEntry& e : ReadHistory(seq)) {
        auto* item = new QTreeWidgetItem({e.when.left(16), JournalActor(e), ChangeText(e)});
        item->setToolTip(2, item->text(2));
        items << item;
    }
    lstHistory->addTopLevelItems(items);
    if (items.isEmpty())
        lstHistory->addTopLevelItem(
            new QTreeWidgetItem({QString(), QString(), QStringLiteral("변경 이력이 없습니다.")}));
    lstHistory->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    lstHistory->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    auto* btnClose = new QPushButton(QStringLiteral("닫 기 &C"));
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstHistory, 1);
    layout->addLayout(buttons);
    resize(QSize(640, 360).expandedTo(minimumSizeHint()));
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

void ShowHistory(QWidget* parent, long seq)
{
    FrmHistory form(seq, parent);
    form.exec();
}
