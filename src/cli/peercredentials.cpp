// Reading SO_PEERCRED from a connected Unix socket.
#include "peercredentials.h"

#include <sys/socket.h>
#include <unistd.h>

std::optional<uint> PeerCredentials::userOf(qintptr descriptor)
{
    if (descriptor < 0)
        return std::nullopt;
    struct ucred credentials {
    };
    socklen_t length = sizeof credentials;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0
        || length != sizeof credentials)
        return std::nullopt;
    return uint(credentials.uid);
}

bool PeerCredentials::isSameUser(qintptr descriptor)
{
    const std::optional<uint> uid = userOf(descriptor);
    return uid && *uid == uint(::getuid());
}
