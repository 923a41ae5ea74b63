#pragma once

#include <QString>
#include <cstdint>

// Short confirmations ("자료가 저장되었습니다.") are shown by the separate program FloatMsg
// beside the client, which shows the message without taking the focus and ends by itself.

// AppDir() + "/FloatMsg" (+ ".exe" on Windows).
QString FloatMsgProgramPath();

// Starts the floating message program without waiting for it. The program is looked for
// once: when it is missing, the first call says so and every later call does nothing.
class FloatMsgLauncher
{
public:
    enum State : int16_t
    {
        NotLookedFor = 0,
        Found = 1,
        Missing = 2
    };

    explicit FloatMsgLauncher(const QString& programPath) : m_path(programPath) {}

    void show(const QString& message, int16_t displayTime);

    State state() const { return m_state; }
    const QString& programPath() const { return m_path; }

private:
    QString m_path;
    State m_state = NotLookedFor;
};

// The program's launcher for the whole run, looking beside the client. Callers pass 500, 1
// and 0xFFFF00; only the message and the display time reach the program.
FloatMsgLauncher& FloatMsg();
void ShowFloatMsg(const QString& message, int16_t displayTime, int16_t number, uint32_t colour);
