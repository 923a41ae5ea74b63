#include "MsgRecorder.h"

MsgRecorder::MsgRecorder()
{
    InstallMsgReporter();
    SetMsgResponder([this](const MsgPrompt& prompt) {
        if (prompt.kind == MsgPrompt::Kind::Progress) {
            ++m_progressSteps;
            MsgAnswer a;
            a.button = m_cancelAt >= 0 && prompt.value >= m_cancelAt ? vbCancel : vbOK;
            return a;
        }
        m_prompts << prompt;
        if (!m_answers.isEmpty())
            return m_answers.dequeue();
        MsgAnswer a;
        a.button = prompt.kind == MsgPrompt::Kind::Box ? vbOK : vbCancel;
        return a;
    });
}

MsgRecorder::~MsgRecorder()
{
    SetMsgResponder({});
}

QStringList MsgRecorder::texts() const
{
    QStringList out;
    for (const MsgPrompt& p : m_prompts)
        out << p.text;
    return out;
}
