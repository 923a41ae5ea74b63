#include "common/MsgBox.h"

#include "common/Globals.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>

namespace {

MsgResponder& responder()
{
    static MsgResponder instance;
    return instance;
}

QString titleOrDefault(const QString& title)
{
    return title.isEmpty() ? gAppTitle : title;
}

// Gives the focus back to the control that had it before a box was shown.
class FocusKeeper
{
public:
    FocusKeeper() : m_widget(QApplication::focusWidget()) {}
    ~FocusKeeper()
    {
        if (m_widget && m_widget->isVisible() && m_widget->isEnabled())
            m_widget->setFocus();
    }

private:
    QPointer<QWidget> m_widget;
};

QMessageBox::Icon qtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(int result)
{
    switch (result) {
    case vbCancel:
        return QMessageBox::Cancel;
    case vbYes:
        return QMessageBox::Yes;
    case vbNo:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

int resultOf(int qtResult)
{
    switch (qtResult) {
    case QMessageBox::Cancel:
        return vbCancel;
    case QMessageBox::Yes:
        return vbYes;
    case QMessageBox::No:
        return vbNo;
    default:
        return vbOK;
    }
}

int showBox(const MsgPrompt& p)
{
    QMessageBox box(qtIcon(p.icon), p.title, p.text, QMessageBox::NoButton, QApplication::activeWindow());
    QList<int> buttons;
    switch (p.buttons) {
    case MsgButtons::Ok:
        buttons = {vbOK};
        break;
    case MsgButtons::OkCancel:
        buttons = {vbOK, vbCancel};
        break;
    case MsgButtons::YesNo:
        buttons = {vbYes, vbNo};
        break;
    case MsgButtons::YesNoCancel:
        buttons = {vbYes, vbNo, vbCancel};
        break;
    }
    for (int b : buttons)
        box.addButton(qtButton(b));
    box.setDefaultButton(qtButton(p.defaultButton));
    if (buttons.contains(vbCancel))
        box.setEscapeButton(qtButton(vbCancel));
    else if (buttons.contains(vbNo))
        box.setEscapeButton(qtButton(vbNo));
    return resultOf(box.exec());
}

// "Pictures (*.bmp;*.jpg)|*.bmp;*.jpg|All|*.*" -> "Pictures (*.bmp *.jpg);;All (*.*)"
QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        name.remove(QRegularExpression(QStringLiteral("\\s*\\([^)]*\\)")));
        out << QStringLiteral("%1 (%2)").arg(name.trimmed(),
                                             parts[i + 1].split(QLatin1Char(';')).join(QLatin1Char(' ')));
    }
    return out.join(QStringLiteral(";;"));
}

MsgAnswer ask(const MsgPrompt& prompt)
{
    if (responder())
        return responder()(prompt);
    FocusKeeper keeper;
    MsgAnswer answer;
    switch (prompt.kind) {
    case MsgPrompt::Kind::Box:
        answer.button = showBox(prompt);
        break;
    case MsgPrompt::Kind::Input: {
        bool ok = false;
        answer.text = QInputDialog::getText(QApplication::activeWindow(), prompt.title, prompt.text,
                                            QLineEdit::Normal, prompt.defaultText, &ok);
        answer.button = ok ? vbOK : vbCancel;
        if (!ok)
            answer.text.clear();
        break;
    }
    case MsgPrompt::Kind::OpenFile: {
        const QString start = prompt.defaultText.isEmpty()
                                  ? prompt.folder
                                  : prompt.folder + QLatin1Char('/') + prompt.defaultText;
        answer.text = QFileDialog::getOpenFileName(QApplication::activeWindow(), prompt.title, start,
                                                   qtFilter(prompt.filter));
        answer.button = answer.text.isEmpty() ? vbCancel : vbOK;
        break;
    }
    }
    return answer;
}

} // namespace

void SetMsgResponder(MsgResponder r)
{
    responder() = std::move(r);
}

int MsgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon, const QString& title, int defaultButton)
{
    MsgPrompt p;
    p.text = prompt;
    p.title = titleOrDefault(title);
    p.icon = icon;
    p.buttons = buttons;
    p.defaultButton = defaultButton != 0                                                     ? defaultButton
                      : (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel) ? vbYes
                                                                                             : vbOK;
    return ask(p).button;
}

void MsgInfo(const QString& prompt, const QString& title)
{
    MsgBox(prompt, MsgButtons::Ok, MsgIcon::Information, title);
}

void MsgWarn(const QString& prompt, const QString& title)
{
    MsgBox(prompt, MsgButtons::Ok, MsgIcon::Exclamation, title);
}

int MsgYesNo(const QString& prompt, const QString& title, bool defaultYes)
{
    return MsgBox(prompt, MsgButtons::YesNo, MsgIcon::Question, title, defaultYes ? vbYes : vbNo) == vbYes
               ? vbYes
               : vbNo;
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    MsgPrompt p;
    p.kind = MsgPrompt::Kind::Input;
    p.text = prompt;
    p.title = titleOrDefault(title);
    p.buttons = MsgButtons::OkCancel;
    p.defaultText = defaultText;
    const MsgAnswer a = ask(p);
    return a.button == vbCancel ? QString() : a.text;
}

QString OpenFileDialog(const QString& title, const QString& folder, const QString& fileName,
                       const QString& filter)
{
    MsgPrompt p;
    p.kind = MsgPrompt::Kind::OpenFile;
    p.title = title;
    p.folder = folder;
    p.defaultText = fileName;
    p.filter = filter;
    p.buttons = MsgButtons::OkCancel;
    const MsgAnswer a = ask(p);
    return a.button == vbCancel ? QString() : a.text;
}

void ShowError(long number, const QString& description)
{
    MsgBox(ErrorText(number, description));
}

void ShowError(const AppError& error)
{
    ShowError(error.number, error.description);
}

void ShowProcError(const AppError& error, const QString& procedure, ErrScope scope, const QString& owner)
{
    MsgBox(ProcErrorText(error.number, error.description, procedure, scope, owner));
}
