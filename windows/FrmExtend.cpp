#include "windows/FrmExtend.h"

#include "common/Globals.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

FrmExtend::FrmExtend(QWidget* parent) : QDialog(parent), m_text(new QPlainTextEdit)
{
    setObjectName(QStringLiteral("FrmExtend"));
    setWindowTitle(QStringLiteral("해결책"));

    m_text->setObjectName(QStringLiteral("txtExtend"));
    m_text->setAccessibleName(QStringLiteral("해결책"));
    m_text->setTabChangesFocus(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* fraText = new QGroupBox(QStringLiteral(" 해결책 "));
    auto* textLayout = new QVBoxLayout(fraText);
    textLayout->addWidget(m_text);

    auto makeButton = [](const char* name, const QString& caption) {
        auto* button = new QPushButton(caption);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        return button;
    };
    QPushButton* btnClear = makeButton("btnClear", QStringLiteral("클 리 어"));
    QPushButton* btnOk = makeButton("btnOk", QStringLiteral("확 인 F2"));
    QPushButton* btnClose = makeButton("btnClose", QStringLiteral("닫 기 &C"));
    auto* fraButtons = new QGroupBox;
    auto* buttonLayout = new QHBoxLayout(fraButtons);
    buttonLayout->addWidget(btnClear);
    buttonLayout->addStretch();
    buttonLayout->addWidget(btnOk);
    buttonLayout->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraText, 1);
    layout->addWidget(fraButtons);
    // A dialog of one size: no maximise button.
    setFixedSize(QSize(720, 540).expandedTo(minimumSizeHint()));

    connect(btnClear, &QPushButton::clicked, this, &FrmExtend::clearText);
    connect(btnOk, &QPushButton::clicked, this, &FrmExtend::confirm);
    connect(btnClose, &QPushButton::clicked, this, &FrmExtend::reject);
}

void FrmExtend::loadText(const QString& text, bool readOnly)
{
    m_text->setPlainText(text);
    m_text->setReadOnly(readOnly);
    m_writeBack.reset();
}

std::optional<QString> FrmExtend::edit(QWidget* parent, const QString& text, bool readOnly)
{
    FrmExtend window(parent);
    window.loadText(text, readOnly);
    window.exec();
    return window.writeBack();
}

void FrmExtend::clearText()
{
    if (!m_text->isReadOnly())
        m_text->clear();
}

void FrmExtend::confirm()
{
    if (gExtendMode == QLatin1String("0") || gExtendMode == QLatin1String("1"))
        m_writeBack = m_text->toPlainText();
    m_text->clear();
    accept();
}

void FrmExtend::reject()
{
    m_writeBack.reset();
    m_text->clear();
    QDialog::reject();
}

void FrmExtend::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        confirm();
        return;
    }
    QDialog::keyPressEvent(event); // Esc rejects
}
