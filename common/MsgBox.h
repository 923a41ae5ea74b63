#pragma once

#include "common/AppError.h"

#ifdef AS_WINDOWLESS
#error "common/, platform/ and db/ show nothing: hand messages to common/Reporter.h"
#endif

#include <QString>
#include <functional>

// Every message box, input box and file dialog of the program goes through here,
// so that tests can answer and record each prompt without a person. The real
// dialogs live in dialogs/ (library as_dialogs).

enum class MsgIcon
{
    None,
    Information,
    Exclamation,
    Question,
    Critical
};
enum class MsgButtons
{
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel
};

// Button results, numbered as the program has always numbered them.
enum MsgResult
{
    vbOK = 1,
    vbCancel = 2,
    vbYes = 6,
    vbNo = 7
};

struct MsgPrompt
{
    enum class Kind
    {
        Box,
        Input,
        OpenFile,
        SaveFile,
        Progress
    };
    Kind kind = Kind::Box;
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    int defaultButton = vbOK;
    QString defaultText; // input box default, or the file dialog's initial file name
    QString folder;      // file dialog's initial folder
    QString filter;      // file dialog's filter, "Name|*.a;*.b|Name2|*.c"
    int value = 0;       // progress: done so far, of `maximum`
    int maximum = 0;
};

struct MsgAnswer
{
    int button = vbOK;
    QString text;        // input box text or chosen file; empty for Cancel
    int filterIndex = 0; // save-file dialog: the filter chosen, from 0
};

// Tests install a responder; with none installed the real dialogs are shown.
using MsgResponder = std::function<MsgAnswer(const MsgPrompt&)>;
void SetMsgResponder(MsgResponder responder);

// A box with the given buttons and icon; an empty title becomes gAppTitle.
// Returns vbOK, vbCancel, vbYes or vbNo.
int MsgBox(const QString& prompt, MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None,
           const QString& title = {}, int defaultButton = 0);

void MsgInfo(const QString& prompt, const QString& title = {});
void MsgWarn(const QString& prompt, const QString& title = {});
// Returns vbYes (6) or vbNo (7); No is the default button unless defaultYes.
int MsgYesNo(const QString& prompt, const QString& title = {}, bool defaultYes = false);

// Returns the typed text, or "" when cancelled.
QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {});

// The open-file dialog. `filter` uses the "Name|pattern;pattern|..." form.
// Returns the chosen path, or "" when cancelled.
QString OpenFileDialog(const QString& title, const QString& folder, const QString& fileName,
                       const QString& filter);

// The save-file dialog: asks before replacing a file. `filterIndex` gets the filter
// chosen (from 0). Returns the chosen path, or "" when cancelled.
QString SaveFileDialog(const QString& title, const QString& folder, const QString& fileName,
                       const QString& filter, int& filterIndex);

// A progress window with Cancel for a long task; it shows itself only when the task
// takes more than a moment. Tests see each step as a Progress prompt; vbCancel cancels.
class MsgProgress
{
public:
    MsgProgress(const QString& text, int maximum);
    ~MsgProgress();
    MsgProgress(const MsgProgress&) = delete;
    MsgProgress& operator=(const MsgProgress&) = delete;
    // Shows `value` done; false once the user has cancelled.
    bool step(int value);

private:
    MsgPrompt m_prompt;
    class QProgressDialog* m_dialog = nullptr;
    bool m_cancelled = false;
};

// The standard error box (OK button, default title): "Error N (description) in
// procedure P of Module M".
void ShowProcError(const AppError& error, const QString& procedure, ErrScope scope, const QString& owner);

// Makes these boxes the reporter of common/Reporter.h, so that what common/, platform/
// and db/ report is shown (or answered by the installed responder). The program calls
// it at start; MsgRecorder does in tests.
void InstallMsgReporter();
