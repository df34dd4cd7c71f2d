// Whether a folder is one only this user may enter, told without Qt.
#pragma once

namespace PrivateDirectory {

/// Why the folder at `path` is not private (missing, not a folder, another
/// user's, open to others), or null when it is. A symbolic link is judged as
/// itself, not as the folder it points to (another user may own the link in /tmp).
const char *problem(const char *path);

} // namespace PrivateDirectory
