#include "engine/log/LogNameHeld.h"

MoveResult LogNameHeld::Move(const char* from, const char* to, int& error)
{
    if (IsHeld(to)) {
        error = 0;
        return MoveTargetTaken;
    }
    return real.Move(from, to, error);
}
