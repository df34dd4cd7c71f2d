// Past a file size limit (ulimit -f) the kernel would kill us without a word in
// the middle of a write.
#pragma once

/// Catches SIGXFSZ, so that such a write fails with EFBIG and says why. A
/// handler rather than SIG_IGN: programs we start get the default back when
/// they exec.
void guardAgainstFileSizeSignal();
