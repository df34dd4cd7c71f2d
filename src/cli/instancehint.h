// Whether a running Corvalint may be listening, told without Qt: the `corvalint`
// command skips the capture program (and its Qt Core) when no socket of ours
// exists at all. Only a hint: the capture program checks the one socket that
// counts, and whom it belongs to.
#pragma once

#include <string>

namespace InstanceHint {

/// How every instance socket's file name of this user starts and ends.
std::string socketNamePrefix();
inline constexpr char socketNameSuffix[] = ".socket";

/// False only when none of the folders the instance channel may use holds a
/// socket named so.
bool mayBeListening();

} // namespace InstanceHint
