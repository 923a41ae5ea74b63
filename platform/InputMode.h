#pragma once

#include <functional>

class QWidget;

// The Hangul/alphanumeric conversion mode of a window's input method.
// Desktop Linux input methods (IBus, Fcitx) offer applications no interface to
// read or set that mode: here the mode always reads alphanumeric and setting it
// does nothing. Tests install a stand-in input method.

// True when the window's input method is in Hangul (native) mode.
bool GetHanEngMode(const QWidget* window);
// Hangul (native) mode for true, alphanumeric for false.
void SetHanEngMode(bool hangul, QWidget* window);

struct InputModeBackend
{
    std::function<bool(const QWidget*)> get;
    std::function<void(bool, QWidget*)> set;
};
// An empty backend restores the platform's own.
void SetInputModeBackendForTesting(InputModeBackend backend);
