#include "controls/HCText.h"

#include "common/Cp949.h"
#include "common/Globals.h"
#include "common/MsgBox.h"
#include "common/Numbers.h"
#include "common/OleColor.h"
#include "controls/EdgeLayout.h"
#include "controls/KeyCodes.h"
#include "controls/NumberText.h"
#include "controls/PhoneTime.h"
#include "platform/InputMode.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace {

constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kDisabledGray = 0xE0E0E0;
// IMEMode values that choose the input mode on entry.
constexpr int kImeOff = 2;
constexpr int kImeAlpha = 8;
constexpr int kImeHangulFull = 9;
constexpr int kImeHangul = 10;

bool isDigitKey(int k)
{
    return k >= '0' && k <= '9';
}
bool isLetterKey(int k)
{
    return (k >= 'A' && k <= 'Z') || (k >= 'a' && k <= 'z');
}

// Accept types whose keys are digits only (a number also takes "-").
bool digitsOnly(int acceptType)
{
    return acceptType == HCText::Number || acceptType == HCText::TelNo || acceptType == HCText::Time ||
           acceptType == HCText::DashedTen;
}

// Focus changes that only come from switching windows or opening a menu are no
// entering or leaving of the field.
bool isFieldFocusChange(const QFocusEvent* event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

QString withoutTrailingBlanks(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    text.truncate(end);
    return text;
}

void fillWidget(QWidget* widget, QPalette::ColorRole role, const QColor& color)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, role, color);
    widget->setPalette(palette);
}

} // namespace

HCText::HCText(QWidget* parent) : QWidget(parent)
{
    m_box = new QLineEdit(this);
    m_box->setObjectName(QStringLiteral("txtBox"));
    m_box->installEventFilter(this);
    setFocusProxy(m_box);
    setFocusPolicy(m_box->focusPolicy());
    for (int i = 0; i < 4; ++i) {
        m_lines[i] = new QWidget(this);
        m_lines[i]->setObjectName(QStringLiteral("LineEdge%1").arg(i));
        m_lines[i]->setAutoFillBackground(true);
        m_lines[i]->hide();
    }
    connect(m_box, &QLineEdit::textChanged, this, &HCText::textChanged);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    // Older systems (codes 1 to 79) keep the input mode per window themselves.
    m_imeRestore = gOSType >= 80 || gOSType <= 0;
    m_firstFocus = m_imeRestore;

    ReadProperties(HCTextProperties{});
}

void HCText::ReadProperties(const HCTextProperties& p)
{
    setForeColor(p.ForeColor);
    m_box->setText(p.Text);
    m_convertCase = p.ConvertCase;
    m_acceptType = p.AcceptType;
    m_showSeparate = p.ShowSeparate;
    setMaxLength(p.MaxLength);
    m_box->setAlignment((m_acceptType == Number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    if (m_acceptType == Number) {
        if (m_box->text().isEmpty())
            m_box->setText(QStringLiteral("0"));
        else if (IsNumeric(m_box->text()))
            m_box->setText(numtext::format(m_box->text(), 0, m_showSeparate));
    }
    setLocked(p.Locked);
    setBackColor(p.BackColor);
    m_imeMode = p.IMEMode;
    m_decPlace = qMax(0, p.DecPlace);
    setPasswordChar(p.PasswordChar);
    m_autoTab = p.AutoTab;
    m_appearance = p.Appearance;
    m_focusEffect = p.FocusEffect;
    m_focusEffectParam = p.FocusEffectParam;
    m_borderStyle = p.BorderStyle;
    m_box->setFrame(m_borderStyle != 0);
    m_topMagin = p.TopMagin;
    m_edgeWidth = p.EdgeWidth;
    m_edgeColor = p.EdgeColor;
    m_edgeFocus = p.EdgeFocus;
    m_edgeFocusColor = p.EdgeFocusColor;
    updateLineVisibility();
    setLines(m_edgeWidth, m_edgeColor);
    m_bChanged = false; // loading is no change by the user
}

// --- properties ---

QString HCText::Text() const
{
    if (m_showSeparate && m_acceptType == Number)
        return numtext::format(m_box->text(), m_decPlace, false);
    return m_box->text();
}

void HCText::setText(const QString& text)
{
    m_box->setText(text);
    if (m_acceptType == Number && m_showSeparate)
        m_box->setText(numtext::format(m_box->text(), m_decPlace, true));
}

void HCText::setForeColor(quint32 color)
{
    m_foreColor = color;
    QPalette palette = m_box->palette();
    palette.setColor(QPalette::Active, QPalette::Text, ToQColor(color));
    palette.setColor(QPalette::Inactive, QPalette::Text, ToQColor(color));
    m_box->setPalette(palette);
}

void HCText::setAcceptType(int value)
{
    m_acceptType = value;
    m_box->setAlignment((value == Number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

void HCText::setShowSeparate(bool value)
{
    m_showSeparate = value;
    if (m_acceptType == Number && IsNumeric(m_box->text()))
        m_box->setText(numtext::format(m_box->text(), 0, value));
}

void HCText::setMaxLength(int value)
{
    m_maxLength = qMax(0, value);
}

bool HCText::Locked() const
{
    return m_box->isReadOnly();
}

void HCText::setLocked(bool value)
{
    m_box->setReadOnly(value);
}

void HCText::setBackColor(quint32 color)
{
    m_backColor = color;
    fillWidget(m_box, QPalette::Base, ToQColor(color));
}

void HCText::setDecPlace(int value)
{
    if (value < 0) {
        MsgBox(QStringLiteral("음수는 설정할 수 없습니다."));
        value = 0;
    }
    m_decPlace = value;
}

void HCText::setPasswordChar(const QString& value)
{
    m_passwordChar = value;
    m_box->setEchoMode(value.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
}

void HCText::setAppearance(int value)
{
    m_appearance = value;
    updateLineVisibility();
    layoutEdges();
}

void HCText::setBorderStyle(int value)
{
    m_borderStyle = value;
    m_box->setFrame(value != 0);
    updateLineVisibility();
    layoutEdges();
}

void HCText::setTopMagin(int twips)
{
    m_topMagin = twips;
    layoutEdges();
    updateGeometry();
}

void HCText::setEdgeWidth(int pixels)
{
    m_edgeWidth = pixels;
    setLines(pixels, m_edgeColor);
}

void HCText::setEdgeColor(quint32 color)
{
    m_edgeColor = color;
    for (QWidget* line : m_lines)
        fillWidget(line, QPalette::Window, ToQColor(color));
}

int HCText::SelStart() const
{
    return m_box->hasSelectedText() ? m_box->selectionStart() : m_box->cursorPosition();
}

void HCText::setSelStart(int position)
{
    m_box->setCursorPosition(position);
}

QString HCText::FormatTime(const QString& sTime) const
{
    return ::FormatTime(sTime);
}

// --- events of the inner box ---

bool HCText::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_box)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        return !m_passThrough && keyPressed(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            keyReleased(key);
        return false;
    }
    case QEvent::InputMethod:
        return inputMethod(static_cast<QInputMethodEvent*>(event));
    case QEvent::FocusIn:
        if (isFieldFocusChange(static_cast<QFocusEvent*>(event)))
            gotFocus();
        return false;
    case QEvent::FocusOut:
        if (isFieldFocusChange(static_cast<QFocusEvent*>(event)))
            lostFocus();
        return false;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            emit Click();
        return false;
    case QEvent::MouseButtonDblClick:
        emit DblClick();
        return false;
    default:
        return false;
    }
}

// Key down, then the character filter; true when the key is used up here.
bool HCText::keyPressed(QKeyEvent* event)
{
    const int code = keys::keyCode(event);
    const int shift = keys::shiftMask(event);
    const QString text = m_box->text();

    int move = 0; // 1 next field, -1 previous field
    if (code == keys::kDown && m_autoTab)
        move = 1;
    else if (code == keys::kUp && m_autoTab)
        move = -1;
    if (code == keys::kDelete && m_acceptType == Number && m_decPlace >= 1) {
        const int caret = SelStart();
        if (caret < text.size() && text.at(caret) == QLatin1Char('.'))
            return true;
    }
    if ((code == keys::kDecimal || code == keys::kPeriod) && m_decPlace > 0)
        m_box->setCursorPosition(int(text.indexOf(QLatin1Char('.'))) + 1);
    emit KeyDown(code, shift);
    if (move != 0) {
        moveFocus(move < 0);
        return true;
    }

    const int typed = keys::keyAscii(event);
    if (typed < 0)
        return false;
    const int k = filterKey(typed);
    if (k == 0)
        return true;
    if (k == keys::kReturn) {
        if (m_autoTab)
            moveFocus(false);
        return true;
    }
    // Typing stops at MaxLength characters; text set by the host is left whole.
    if (k != keys::kBack && m_maxLength > 0 &&
        m_box->text().size() - m_box->selectedText().size() >= m_maxLength) {
        QApplication::beep();
        return true;
    }
    if (k == typed)
        return false; // the inner box types it
    if (m_box->isReadOnly())
        return true;
    // The host or the case conversion changed the key.
    if (k == keys::kBack) {
        m_box->backspace();
    } else {
        const char32_t c = char32_t(k);
        m_box->insert(QString::fromUcs4(&c, 1));
    }
    return true;
}

// The character filter: the key to type, or 0 when it is dropped.
int HCText::filterKey(int keyAscii)
{
    int k = keyAscii;
    emit KeyPress(k);
    if (k == 0)
        return 0;
    bool allowed = false;
    if (k == keys::kBack) {
        if (m_acceptType == Number && m_decPlace > 0) {
            const int caret = SelStart();
            if (caret > 0 && m_box->text().at(caret - 1) == QLatin1Char('.'))
                return 0;
        }
        allowed = true;
    } else if (k == keys::kReturn || (k == '-' && m_acceptType == Number)) {
        allowed = true;
    }
    if (!allowed) {
        if ((digitsOnly(m_acceptType) && !isDigitKey(k)) || (m_acceptType == Letters && !isLetterKey(k))) {
            QApplication::beep();
            return 0;
        }
    }
    if (!digitsOnly(m_acceptType) && k <= 0xFFFF) {
        const QChar c(k);
        if (m_convertCase == 1)
            k = c.toUpper().unicode();
        else if (m_convertCase == 2)
            k = c.toLower().unicode();
    }
    return k;
}

// Key up: the byte limit, without a word.
void HCText::keyReleased(QKeyEvent* event)
{
    emit KeyUp(keys::keyCode(event), keys::shiftMask(event));
    if (!m_box->text().isEmpty() && m_maxLength > 0 && cp949::byteLength(m_box->text()) > m_maxLength)
        cutToMaxLength();
}

// Text composed by the input method: each committed character passes the character
// filter, and the byte limit applies as after a key.
bool HCText::inputMethod(QInputMethodEvent* event)
{
    if (m_passThrough)
        return false;
    if (m_imeRestore)
        m_savedImeMode = GetHanEngMode(m_box);
    if (event->commitString().isEmpty())
        return false;
    QString accepted;
    for (char32_t c : event->commitString().toUcs4()) {
        const int k = filterKey(int(c));
        if (k > 0 && k != keys::kBack && k != keys::kReturn) {
            const char32_t out = char32_t(k);
            accepted += QString::fromUcs4(&out, 1);
        }
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(accepted, event->replacementStart(), event->replacementLength());
    m_passThrough = true;
    QCoreApplication::sendEvent(m_box, &filtered);
    m_passThrough = false;
    if (!m_box->text().isEmpty() && m_maxLength > 0 && cp949::byteLength(m_box->text()) > m_maxLength)
        cutToMaxLength();
    return true;
}

void HCText::gotFocus()
{
    m_bChanged = false;
    if (m_focusEffect) {
        paintBox(m_focusEffectParam);
        paintSurface(m_focusEffectParam);
    }
    if (m_edgeFocus)
        setLines(m_edgeWidth + 1, m_edgeFocusColor);
    m_box->setSelection(0, int(m_box->text().size()));

    if (m_imeMode == kImeHangul || m_imeMode == kImeHangulFull)
        SetHanEngMode(true, m_box);
    else if (m_imeMode == kImeAlpha || m_imeMode == kImeOff)
        SetHanEngMode(false, m_box);
    if (m_imeRestore) {
        if (m_firstFocus) {
            m_firstFocus = false;
            m_savedImeMode = GetHanEngMode(m_box);
        } else if (GetHanEngMode(m_box) != m_savedImeMode) {
            SetHanEngMode(m_savedImeMode, m_box);
        }
    }
}

void HCText::lostFocus()
{
    if (m_focusEffect) {
        paintBox(kWhite);
        paintSurface(kWhite);
    }
    if (m_edgeFocus)
        setLines(m_edgeWidth, m_edgeColor);
    m_box->setText(withoutTrailingBlanks(m_box->text()));

    if (m_acceptType == Number) {
        if (numtext::leadingValueIsZero(m_box->text()))
            m_box->setText(QStringLiteral("0"));
        return;
    }
    if (m_box->text().isEmpty())
        return;
    if (m_acceptType == TelNo)
        m_box->setText(FormatTelNo(m_box->text()));
    else if (m_acceptType == Time)
        m_box->setText(::FormatTime(m_box->text()));
    else if (m_acceptType == DashedTen)
        m_box->setText(numtext::formatDashedTen(QString(m_box->text()).remove(QLatin1Char('-'))));

    const int n = cp949::byteLength(m_box->text());
    if (!m_box->text().isEmpty() && m_maxLength > 0 && n > m_maxLength) {
        MsgInfo(QStringLiteral(
                    "최대 입력 길이를 초과하였습니다. 입력된 자료는 길이에 맞게 자동으로 짤립니다.\r\n\r\n"
                    "현재 입력된 길이는 %1 이며, 최대입력 길이는 %2 입니다.\r\n"
                    "(한글은 한 글자당 길이가 2입니다.)")
                    .arg(n)
                    .arg(m_maxLength),
                QStringLiteral("입력길이 초과"));
        cutToMaxLength();
    }
}

// Live number formatting; every change other than the control's own rewrite marks
// the field changed and is passed on.
void HCText::textChanged()
{
    if (m_rewriting)
        return;
    if (m_acceptType == Number && m_showSeparate) {
        const QString text = m_box->text();
        int caret = SelStart();
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        const qsizetype excess = m_decPlace != 0 && point >= 0 ? text.size() - (point + 1) - m_decPlace : 0;

        QString result;
        if (excess > 0)
            result = numtext::format(text.left(text.size() - excess), m_decPlace, true);
        else if (text == QLatin1String("-"))
            result = text;
        else if (text == QLatin1String("-0"))
            result = QLatin1Char('-') + numtext::format(QStringLiteral("0"), m_decPlace, true);
        else
            result = numtext::format(text, m_decPlace, true);
        if (result.contains(QLatin1Char('-')))
            result = QLatin1Char('-') + result.remove(QLatin1Char('-'));

        if (result != text) {
            if (result.size() > text.size()) {
                if (point >= 0 || m_decPlace == 0)
                    ++caret;
            } else if (result.size() < text.size() && excess <= 0) {
                caret = qMax(0, caret - 1);
            }
            setBoxText(result);
            m_box->setCursorPosition(caret);
        }
    }
    m_bChanged = true;
    emit Change();
}

void HCText::moveFocus(bool backward)
{
    m_passThrough = true;
    keys::SendTab(m_box, backward);
    m_passThrough = false;
}

void HCText::cutToMaxLength()
{
    const QString cut = cp949::leftBytes(m_box->text(), m_maxLength);
    m_box->setText(cut);
    m_box->setCursorPosition(int(cut.size()));
}

void HCText::setBoxText(const QString& text)
{
    m_rewriting = true;
    m_box->setText(text);
    m_rewriting = false;
}

// --- appearance ---

void HCText::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        setBackColor(isEnabled() ? kWhite : kDisabledGray);
    QWidget::changeEvent(event);
}

void HCText::paintBox(quint32 color)
{
    m_backColor = color;
    fillWidget(m_box, QPalette::Base, ToQColor(color));
}

void HCText::paintSurface(quint32 color)
{
    setAutoFillBackground(true);
    fillWidget(this, QPalette::Window, ToQColor(color));
}

void HCText::setLines(int width, quint32 color)
{
    m_lineWidth = width;
    for (QWidget* line : m_lines)
        fillWidget(line, QPalette::Window, ToQColor(color));
    layoutEdges();
}

void HCText::updateLineVisibility()
{
    const bool shown = m_appearance == 0 && m_borderStyle == 0;
    for (QWidget* line : m_lines)
        line->setVisible(shown);
}

QSize HCText::sizeHint() const
{
    const QSize box = m_box->sizeHint();
    return {box.width(), box.height() + m_topMagin / kTwipsPerPixel};
}

QSize HCText::minimumSizeHint() const
{
    return {m_box->minimumSizeHint().width(), sizeHint().height()};
}

void HCText::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutEdges();
}

void HCText::layoutEdges()
{
    const bool shown = m_appearance == 0 && m_borderStyle == 0;
    const EdgeLayout l = ComputeEdgeLayout(width() * kTwipsPerPixel, height() * kTwipsPerPixel, m_lineWidth,
                                           shown, m_topMagin);
    const auto px = [](int twips) { return twips / kTwipsPerPixel; };
    m_box->setGeometry(px(l.boxLeft), px(l.boxTop), qMax(0, px(l.boxWidth)), qMax(0, px(l.boxHeight)));
    if (l.whiteSurface)
        paintSurface(kWhite);

    // Each line is drawn as a band of the line width centred on its position.
    const int w = qMax(1, m_lineWidth);
    const int half = w / 2;
    const EdgeLine& top = l.lines[0];
    const EdgeLine& bottom = l.lines[1];
    const EdgeLine& left = l.lines[2];
    const EdgeLine& right = l.lines[3];
    m_lines[0]->setGeometry(px(top.x1), px(top.y1) - half, px(top.x2 - top.x1), w);
    m_lines[1]->setGeometry(px(bottom.x1), px(bottom.y1) - half, px(bottom.x2 - bottom.x1), w);
    m_lines[2]->setGeometry(px(left.x1) - half, px(left.y1), w, px(left.y2 - left.y1));
    m_lines[3]->setGeometry(px(right.x1) - half, px(right.y1), w, px(right.y2 - right.y1));
    for (QWidget* line : m_lines)
        line->raise();
}
