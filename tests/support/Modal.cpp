#include "Modal.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QtTest>

void OnNextModal(std::function<void(QWidget*)> check)
{
    QTimer::singleShot(0, [check] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        check(modal);
        modal->close();
    });
}
