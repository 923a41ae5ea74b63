#include "grid/PopupMenu.h"

#include "common/Numbers.h"

#include <QCursor>
#include <QMenu>

void FillPopupMenu(QMenu* menu, const QStringList& items)
{
    bool greyNext = false;
    for (const QString& item : items) {
        if (item == QLatin1String("-")) {
            menu->addSeparator();
            continue;
        }
        if (item == QLatin1String("X")) {
            greyNext = true;
            continue;
        }
        QString caption = item.mid(2);
        const bool ticked = caption.startsWith(QLatin1String("[v]"));
        if (ticked)
            caption.remove(0, 3);
        QAction* action = menu->addAction(caption);
        action->setData(int(LeadingNumber(item.left(2))));
        if (ticked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        if (greyNext) {
            action->setEnabled(false);
            greyNext = false;
        }
    }
}

int ShowPopupMenu(QWidget* form, const QStringList& items)
{
    QMenu menu(form);
    FillPopupMenu(&menu, items);
    const QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : 0;
}
