#pragma once

class QWidget;

namespace platform {

// Closes window, as the user would, when the system asks the program to end: SIGTERM or SIGHUP, or
// the session manager ending the session. The close runs on the window's thread, from its event loop,
// so the window's shut-down sequence runs (and waits for a build) as for any close. Call once, early,
// with the QApplication running; it stays in force while the program runs.
void CloseOnEndRequests(QWidget& window);

}  // namespace platform
