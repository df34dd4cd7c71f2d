// Shows the busy cursor for as long as the guard lives.
#pragma once

#include <Qt>

class OverrideCursorGuard
{
public:
    explicit OverrideCursorGuard(Qt::CursorShape shape = Qt::WaitCursor);
    ~OverrideCursorGuard();
    OverrideCursorGuard(const OverrideCursorGuard &) = delete;
    OverrideCursorGuard &operator=(const OverrideCursorGuard &) = delete;
};
