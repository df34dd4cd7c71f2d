// A capture or an update: the store request completed with the windows on the desktop, by the command
// itself or by the running Corvalint it asked.
#pragma once

#include <QJsonObject>
#include <QString>
#include <variant>

class AutomationService;

namespace CaptureRequest {

/// `request` ("create" or "update", see StoreCommands) with the desktop's applications and windows as its
/// "entries"; or, when the desktop shows nothing to save, the line that says why (nothing is saved then:
/// an empty workspace saved as if all were well would hide a desktop we cannot read).
std::variant<QJsonObject, QString> withDesktop(
    QJsonObject request, AutomationService &automation, bool desktopReadable);

} // namespace CaptureRequest
