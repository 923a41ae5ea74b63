#pragma once

#include <QWidget>

// A frameless box with the message, shown near the middle of the screen without taking
// the focus from the window the user works in.
class FloatMsgWindow : public QWidget
{
    Q_OBJECT

public:
    explicit FloatMsgWindow(const QString& message);
};
