#pragma once

#include <functional>

class Prompts;
class QWidget;

// Runs one command; a failure it ends with is shown in the application's error box and goes no
// further, so no exception ever reaches Qt's event loop.
void runCommand(Prompts &prompts, QWidget *owner, const std::function<void()> &command);
