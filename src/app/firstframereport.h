// Start-up timing for the benchmark: how long the process took to put the
// main window's first frame on screen.
#pragma once

class QWindow;

namespace FirstFrameReport {

/// When CORVALINT_FIRST_FRAME_REPORT names a file, appends
/// "exec_to_first_frame_ms=N" to it once `window` has shown its first frame,
/// N counted from the start of the process. Does nothing otherwise.
void watch(QWindow *window);

/// Milliseconds since the kernel started this process (10 ms steps), or -1.
double millisecondsSinceExec();

} // namespace FirstFrameReport
