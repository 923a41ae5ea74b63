#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

// A window with a plain field before ("txtBefore") and after ("txtAfter") one of the
// program's input controls, for the focus moves of its keys and the events a test
// records in `events`. A test sets the control up and connects its events, then calls
// show().
template <class Control> struct FieldWindow
{
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    Control* field = new Control(&window);
    QLineEdit* after = new QLineEdit(&window);
    QStringList events;

    explicit FieldWindow(const QString& fieldName)
    {
        before->setObjectName(QStringLiteral("txtBefore"));
        field->setObjectName(fieldName);
        after->setObjectName(QStringLiteral("txtAfter"));
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(field);
        layout->addWidget(after);
    }

    void show()
    {
        window.show();
        window.activateWindow();
    }
    // Tabs into the control; false when its inner box did not get the focus.
    bool enter()
    {
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        field->setFocus(Qt::TabFocusReason);
        return field->hwnd()->hasFocus();
    }
    void leave() { after->setFocus(Qt::TabFocusReason); }
    QString focused() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
};
