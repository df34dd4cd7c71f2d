// Where the store lives: needed by every program that talks to it, also by those that never open it.
#pragma once

#include <QString>

namespace StoreLocation {

/// `$CORVALINT_DATA_DIR`, else `corvalint` in the XDG data folder.
QString defaultDirectory();

} // namespace StoreLocation
