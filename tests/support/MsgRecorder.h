#pragma once

#include "common/MsgBox.h"

#include <QList>
#include <QQueue>

// Answers the program's message boxes, input boxes and file dialogs in tests and
// records every prompt. Unscripted prompts are answered with OK (boxes) or Cancel
// (input boxes, file dialogs). Progress steps are counted, not recorded, and go on
// unless cancelAt() says otherwise.
class MsgRecorder
{
public:
    MsgRecorder();
    ~MsgRecorder();
    MsgRecorder(const MsgRecorder&) = delete;
    MsgRecorder& operator=(const MsgRecorder&) = delete;

    void answer(int button, const QString& text = {}) { m_answers.enqueue({button, text}); }
    void answerText(const QString& text) { answer(vbOK, text); }
    // The save-file dialog's answer: a path and the filter chosen.
    void answerSave(const QString& path, int filterIndex) { m_answers.enqueue({vbOK, path, filterIndex}); }
    // Cancels a progress window at its first step of `value` or more.
    void cancelAt(int value) { m_cancelAt = value; }
    int progressSteps() const { return m_progressSteps; }

    const QList<MsgPrompt>& prompts() const { return m_prompts; }
    QStringList texts() const;
    int count() const { return int(m_prompts.size()); }
    const MsgPrompt& last() const { return m_prompts.last(); }
    void clear()
    {
        m_prompts.clear();
        m_answers.clear();
        m_cancelAt = -1;
        m_progressSteps = 0;
    }

private:
    QList<MsgPrompt> m_prompts;
    QQueue<MsgAnswer> m_answers;
    int m_cancelAt = -1;
    int m_progressSteps = 0;
};
