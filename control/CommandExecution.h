#pragma once

#include "control/CommandRequest.h"

class TClickListController;

// What a command asks of the window itself, which only the window can do.
class IWindowActions {
public:
    virtual ~IWindowActions() = default;
    // Brings the window forward, out of the notification area when it is hidden there.
    virtual void showWindow() = 0;
    // Closes the program as the user's Exit does, saving. Called before the answer is sent: the close has to come
    // after the answer is on its way.
    virtual void quitAsExit() = 0;
};

// Carries out the request on the list, starting and stopping clicks the way the hotkeys do, and says what happened,
// one line per click acted on. Exit code 1 when a named click is not in the list, or named but not started because
// it is not ticked; the others named are still acted on. A click named twice (by name and by #N) is acted on once.
TCommandAnswer Execute(TClickListController& ctrl, const TCommandRequest& request, IWindowActions& window);
