// A directory only this user can enter: where the instance socket and our caches live.
#pragma once

#include <QString>

namespace PrivateDirectory {

/// Whether `path` is a real directory (not a symbolic link) owned by this
/// user that nobody else may enter or write.
bool isPrivate(const QString &path);

/// Creates `path` with mode 0700 when it is missing, and checks it as
/// `isPrivate` does. A directory someone else made first, or a link planted
/// in its place, is refused with `error`: never used, never changed.
bool ensure(const QString &path, QString *error);

} // namespace PrivateDirectory
