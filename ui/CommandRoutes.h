#ifndef QUILLOWBY_UI_COMMAND_ROUTES_H
#define QUILLOWBY_UI_COMMAND_ROUTES_H

#include <windows.h>

#include <cstddef>

// A dialog's commands as a table: the control or menu item, and what it does.
struct CommandRoute
{
    WORD id;
    void (*handler)(HWND dialog);
    // Also taken while work is under way: none of these starts work or touches the job.
    bool duringWork;
};

// Calls the handler routed to id, unless work is under way and it is not taken then. Only the
// command id counts; notification codes are not looked at. False when no route has id.
template <size_t count>
bool RouteCommand(const CommandRoute (&routes)[count], HWND dialog, WORD id, bool workInProgress)
{
    for (const CommandRoute& route : routes) {
        if (route.id == id) {
            if (route.duringWork || !workInProgress)
                route.handler(dialog);
            return true;
        }
    }
    return false;
}

#endif
