#pragma once

#include <functional>

class QWidget;

// Runs `check` on the next modal window once it is open, then closes it.
void OnNextModal(std::function<void(QWidget*)> check);
