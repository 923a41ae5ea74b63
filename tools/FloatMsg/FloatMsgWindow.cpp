#include "FloatMsgWindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

FloatMsgWindow::FloatMsgWindow(const QString& message)
    : QWidget(nullptr,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("FloatMsg"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(message);

    auto* label = new QLabel(message);
    label->setObjectName(QStringLiteral("lblMsg"));
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSize(font.pointSize() + 4);
    font.setBold(true);
    label->setFont(font);
    setStyleSheet(QStringLiteral("#FloatMsg { background: #fff8c4; border: 2px solid #8a7a2a; }"
                                 "#lblMsg { color: #202020; }"));
    setAttribute(Qt::WA_StyledBackground);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 18, 32, 18);
    layout->addWidget(label);
    adjustSize();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}
