#include "controls/HCCombo.h"

#include "common/OleColor.h"
#include "controls/EdgeLayout.h"
#include "controls/KeyCodes.h"
#include "controls/NumberText.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>

namespace {

constexpr int kItemDataRole = Qt::UserRole;
constexpr int kSecondTextRole = Qt::UserRole + 1;
constexpr quint32 kWhite = 0xFFFFFF;

bool isFieldFocusChange(const QFocusEvent* event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

} // namespace

// The visible list; its opened part takes the size given with SetListSize.
class HCCombo::ComboBox : public QComboBox
{
public:
    using QComboBox::QComboBox;

    int listWidth = 0;  // pixels; 0: as the toolkit sizes it
    int listHeight = 0; // pixels, the field included as on the reference platform

    void showPopup() override
    {
        QComboBox::showPopup();
        QWidget* popup = view()->window();
        if (popup == window())
            return;
        const int w = listWidth > 0 ? listWidth : popup->width();
        const int h =
            listHeight > 0 ? qMax(view()->sizeHintForRow(0), listHeight - height()) : popup->height();
        popup->resize(w, h);
    }
};

HCCombo::HCCombo(QWidget* parent) : QWidget(parent)
{
    m_main = new ComboBox(this);
    m_main->setObjectName(QStringLiteral("cmbMain"));
    m_list = m_main->view();
    m_list->installEventFilter(this);
    m_main->installEventFilter(this);
    setFocusProxy(m_main);
    setFocusPolicy(m_main->focusPolicy());
    setFixedHeight(m_main->sizeHint().height());
    connect(m_main, &QComboBox::currentIndexChanged, this, &HCCombo::selected);
    setBackColor(m_backColor);
    setForeColor(m_foreColor);
}

QComboBox* HCCombo::hwnd() const
{
    return m_main;
}

int HCCombo::listWidth() const
{
    return m_main->listWidth;
}

int HCCombo::listHeight() const
{
    return m_main->listHeight;
}

void HCCombo::AddItem(const QString& item, int index, const QString& item2)
{
    const int at = index < 0 || index > m_main->count() ? m_main->count() : index;
    const int selectedBefore = m_main->currentIndex();
    m_filling = true;
    m_main->insertItem(at, item);
    // Adding entries selects nothing: the selection stays on its entry, or on none.
    m_main->setCurrentIndex(selectedBefore < 0 ? -1 : selectedBefore + (at <= selectedBefore ? 1 : 0));
    m_filling = false;
    qint32 data = 0;
    m_main->setItemData(at, numtext::toItemData(item2, &data) ? data : 0, kItemDataRole);
    m_main->setItemData(at, item2, kSecondTextRole);
    m_newIndex = at;
}

void HCCombo::Clear()
{
    m_filling = true;
    m_main->clear();
    m_main->setPlaceholderText(QString());
    m_filling = false;
    m_newIndex = -1;
}

void HCCombo::SetListSize(int twipWidth, int twipHeight)
{
    m_main->listWidth = qMax(0, twipWidth / kTwipsPerPixel);
    m_main->listHeight = qMax(0, twipHeight / kTwipsPerPixel);
}

int HCCombo::FindItemData(qint32 nItem) const
{
    for (int i = 0; i < m_main->count(); ++i)
        if (m_main->itemData(i, kItemDataRole).toInt() == nItem)
            return i;
    return -1;
}

int HCCombo::FindCODE(const QString& code, bool bMoveListidx)
{
    for (int i = 0; i < m_main->count(); ++i) {
        if (m_main->itemData(i, kSecondTextRole).toString() == code) {
            if (bMoveListidx)
                setListIndex(i);
            return i;
        }
    }
    return -1;
}

int HCCombo::ListIndex() const
{
    return m_main->currentIndex();
}

void HCCombo::setListIndex(int index)
{
    if (index >= -1 && index < m_main->count())
        m_main->setCurrentIndex(index);
}

int HCCombo::ListCount() const
{
    return m_main->count();
}

QString HCCombo::Text() const
{
    return m_main->currentIndex() < 0 ? m_main->placeholderText() : m_main->currentText();
}

void HCCombo::setText(const QString& text)
{
    const int found = m_main->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_main->setPlaceholderText(found < 0 ? text : QString());
    setListIndex(found);
}

QString HCCombo::Text2() const
{
    return List2(m_main->currentIndex());
}

QString HCCombo::List(int index) const
{
    return m_main->itemText(index);
}

void HCCombo::setList(int index, const QString& text)
{
    if (index >= 0 && index < m_main->count())
        m_main->setItemText(index, text);
}

QString HCCombo::List2(int index) const
{
    return m_main->itemData(index, kSecondTextRole).toString();
}

void HCCombo::setList2(int index, const QString& text)
{
    if (index >= 0 && index < m_main->count())
        m_main->setItemData(index, text, kSecondTextRole);
}

qint32 HCCombo::ItemData(int index) const
{
    return m_main->itemData(index == -2 ? m_main->currentIndex() : index, kItemDataRole).toInt();
}

void HCCombo::setItemData(int index, qint32 value)
{
    if (index >= 0 && index < m_main->count())
        m_main->setItemData(index, value, kItemDataRole);
}

void HCCombo::setBackColor(quint32 color)
{
    m_backColor = color;
    paint(color);
}

void HCCombo::setForeColor(quint32 color)
{
    m_foreColor = color;
    QPalette palette = m_main->palette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
        palette.setColor(QPalette::Active, role, ToQColor(color));
        palette.setColor(QPalette::Inactive, role, ToQColor(color));
    }
    m_main->setPalette(palette);
}

void HCCombo::paint(quint32 color)
{
    m_backColor = color;
    QPalette palette = m_main->palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
        palette.setColor(role, ToQColor(color));
    m_main->setPalette(palette);
}

// A selection by the user or from code; not passed on while the list is hidden.
void HCCombo::selected()
{
    if (!m_filling && m_main->isVisibleTo(m_main->window()))
        emit Click();
}

bool HCCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress)
        return listKeyPressed(static_cast<QKeyEvent*>(event));
    if (watched != m_main)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        return !m_passThrough && keyPressed(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            emit KeyUp(keys::keyCode(key), keys::shiftMask(key));
        return false;
    }
    case QEvent::FocusIn: {
        auto* focus = static_cast<QFocusEvent*>(event);
        if (!isFieldFocusChange(focus))
            return false;
        if (m_focusEffect)
            paint(m_focusEffectParam);
        // A click opens the list by itself.
        if (m_autoShowItem && focus->reason() != Qt::MouseFocusReason)
            QMetaObject::invokeMethod(
                m_main,
                [this] {
                    if (m_main->hasFocus())
                        m_main->showPopup();
                },
                Qt::QueuedConnection);
        return false;
    }
    case QEvent::FocusOut:
        // Opening the list moves the focus into it: no leaving of the field.
        if (m_focusEffect && isFieldFocusChange(static_cast<QFocusEvent*>(event)) &&
            !m_main->view()->window()->isVisible())
            paint(kWhite);
        return false;
    case QEvent::MouseButtonDblClick:
        emit DblClick();
        return false;
    default:
        return false;
    }
}

bool HCCombo::keyPressed(QKeyEvent* event)
{
    const int code = keys::keyCode(event);
    emit KeyDown(code, keys::shiftMask(event));
    if (m_autoTab && (code == keys::kRight || code == keys::kReturn || code == keys::kLeft)) {
        m_passThrough = true;
        keys::SendTab(m_main, code == keys::kLeft);
        m_passThrough = false;
        return true;
    }
    const int typed = keys::keyAscii(event);
    if (typed < 0)
        return false;
    int k = typed;
    emit KeyPress(k);
    return k == 0;
}

// Tab and Shift+Tab leave an opened list for the next or previous field, as they leave
// the closed one.
bool HCCombo::listKeyPressed(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab)
        return false;
    m_main->hidePopup();
    m_passThrough = true;
    keys::SendTab(m_main, event->key() == Qt::Key_Backtab || event->modifiers().testFlag(Qt::ShiftModifier));
    m_passThrough = false;
    return true;
}

void HCCombo::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int h = m_main->sizeHint().height();
    m_main->setGeometry(0, 0, width(), h);
    if (height() != h)
        setFixedHeight(h);
}
