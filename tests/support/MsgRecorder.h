#pragma once

#include "common/MsgBox.h"

#include <QList>
#include <QQueue>

// Answers the program's message boxes, input boxes and file dialogs in tests and
// records every prompt. Unscripted prompts are answered with OK (boxes) or Cancel
// (input boxes, file dialogs).
class MsgRecorder
{
public:
    MsgRecorder();
    ~MsgRecorder();
    MsgRecorder(const MsgRecorder&) = delete;
    MsgRecorder& operator=(const MsgRecorder&) = delete;

    void answer(int button, const QString& text = {}) { m_answers.enqueue({button, text}); }
    void answerText(const QString& text) { answer(vbOK, text); }

    const QList<MsgPrompt>& prompts() const { return m_prompts; }
    QStringList texts() const;
    int count() const { return int(m_prompts.size()); }
    const MsgPrompt& last() const { return m_prompts.last(); }
    void clear()
    {
        m_prompts.clear();
        m_answers.clear();
    }

private:
    QList<MsgPrompt> m_prompts;
    QQueue<MsgAnswer> m_answers;
};
