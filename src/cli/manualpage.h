// The manual page corvalint(1) and the shell completions, written from the
// command table so that they never drift from what the program accepts.
#pragma once

#include <QString>

namespace ManualPage {

/// corvalint(1) in roff (man(7) macros).
QString roff();
/// Completion scripts for bash, zsh and fish.
QString bashCompletion();
QString zshCompletion();
QString fishCompletion();

} // namespace ManualPage
