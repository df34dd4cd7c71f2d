// Who is at the other end of a local socket, as the kernel tells it.
#pragma once

#include <QtGlobal>
#include <optional>

namespace PeerCredentials {

/// The user id of the process at the other end of the connected Unix socket
/// `descriptor`; nothing when the kernel cannot tell.
std::optional<uint> userOf(qintptr descriptor);

/// Whether the other end runs as this process's own user.
bool isSameUser(qintptr descriptor);

} // namespace PeerCredentials
