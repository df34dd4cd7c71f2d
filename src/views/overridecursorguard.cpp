// Shows the busy cursor for as long as the guard lives.
#include "overridecursorguard.h"

#include <QCursor>
#include <QGuiApplication>

OverrideCursorGuard::OverrideCursorGuard(Qt::CursorShape shape)
{
    QGuiApplication::setOverrideCursor(QCursor(shape));
}

OverrideCursorGuard::~OverrideCursorGuard()
{
    QGuiApplication::restoreOverrideCursor();
}
