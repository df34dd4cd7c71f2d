// The application itself: opens the store before any window, claims the one
// instance of this session, shows the main window and owns every shared part.
#pragma once

#include "cli/invocation.h"

class CorvalintApp
{
public:
    /// Runs Corvalint until it quits. A second start brings the running one's
    /// window back and returns 0; a store that cannot be opened prints
    /// "Could not create ModelContainer: ..." and returns 1 before any window.
    static int exec(int &argc, char **argv, const Invocation &invocation);
};
