#include "common/MsgBox.h"

#include "common/Globals.h"
#include "common/Reporter.h"
#include "dialogs/LocaleFileModel.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
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
    case MsgPrompt::Kind::OpenFile:
    case MsgPrompt::Kind::SaveFile: {
        const QString start = prompt.defaultText.isEmpty()
                                  ? prompt.folder
                                  : prompt.folder + QLatin1Char('/') + prompt.defaultText;
        const QStringList filters = qtFilter(prompt.filter).split(QStringLiteral(";;"));
        QFileDialog dialog(QApplication::activeWindow(), prompt.title, start,
                           filters.join(QStringLiteral(";;")));
        dialog.setProxyModel(new LocaleFileModel(&dialog));
        if (prompt.kind == MsgPrompt::Kind::OpenFile) {
            dialog.setFileMode(QFileDialog::ExistingFile);
        } else {
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
        }
        if (dialog.exec() == QDialog::Accepted)
            answer.text = dialog.selectedFiles().value(0);
        answer.filterIndex = int(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())));
        answer.button = answer.text.isEmpty() ? vbCancel : vbOK;
        break;
    }
    case MsgPrompt::Kind::Progress:
        break;
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

namespace {

MsgPrompt filePrompt(MsgPrompt::Kind kind, const QString& title, const QString& folder,
                     const QString& fileName, const QString& filter)
{
    MsgPrompt p;
    p.kind = kind;
    p.title = title;
    p.folder = folder;
    p.defaultText = fileName;
    p.filter = filter;
    p.buttons = MsgButtons::OkCancel;
    return p;
}

} // namespace

QString OpenFileDialog(const QString& title, const QString& folder, const QString& fileName,
                       const QString& filter)
{
    const MsgAnswer a = ask(filePrompt(MsgPrompt::Kind::OpenFile, title, folder, fileName, filter));
    return a.button == vbCancel ? QString() : a.text;
}

QString SaveFileDialog(const QString& title, const QString& folder, const QString& fileName,
                       const QString& filter, int& filterIndex)
{
    const MsgAnswer a = ask(filePrompt(MsgPrompt::Kind::SaveFile, title, folder, fileName, filter));
    filterIndex = a.filterIndex;
    return a.button == vbCancel ? QString() : a.text;
}

MsgProgress::MsgProgress(const QString& text, int maximum)
{
    m_prompt.kind = MsgPrompt::Kind::Progress;
    m_prompt.text = text;
    m_prompt.title = gAppTitle;
    m_prompt.buttons = MsgButtons::OkCancel;
    m_prompt.maximum = maximum;
    if (responder())
        return;
    m_dialog = new QProgressDialog(text, QStringLiteral("취소"), 0, maximum, QApplication::activeWindow());
    m_dialog->setWindowTitle(gAppTitle);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(500);
    m_dialog->setValue(0);
}

MsgProgress::~MsgProgress()
{
    delete m_dialog;
}

bool MsgProgress::step(int value)
{
    if (m_cancelled)
        return false;
    m_prompt.value = value;
    if (responder())
        m_cancelled = responder()(m_prompt).button == vbCancel;
    else {
        m_dialog->setValue(value);
        m_cancelled = m_dialog->wasCanceled();
    }
    return !m_cancelled;
}

void ShowProcError(const AppError& error, const QString& procedure, ErrScope scope, const QString& owner)
{
    MsgBox(ProcErrorText(error.number, error.description, procedure, scope, owner));
}

void InstallMsgReporter()
{
    SetReporter([](const Report& report) {
        switch (report.kind) {
        case Report::Kind::Error:
            MsgBox(report.text, MsgButtons::Ok, MsgIcon::None, report.title);
            return false;
        case Report::Kind::Warning:
            MsgWarn(report.text, report.title);
            return false;
        case Report::Kind::Question:
            return MsgBox(report.text, MsgButtons::YesNo, MsgIcon::Question, report.title) == vbYes;
        }
        return false;
    });
}
