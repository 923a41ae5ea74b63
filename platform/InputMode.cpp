#include "platform/InputMode.h"

namespace {
InputModeBackend& backend()
{
    static InputModeBackend instance;
    return instance;
}
} // namespace

bool GetHanEngMode(const QWidget* window)
{
    if (backend().get)
        return backend().get(window);
    return false;
}

void SetHanEngMode(bool hangul, QWidget* window)
{
    if (backend().set)
        backend().set(hangul, window);
}

void SetInputModeBackendForTesting(InputModeBackend b)
{
    backend() = std::move(b);
}
