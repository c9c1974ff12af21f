#pragma once

namespace platform {

// Makes a termination request from the system end the program the way
// "Quitter" does: the event loop returns and the normal shutdown saves the
// settings and items. On Unix: SIGTERM, SIGINT and SIGHUP. On Windows: the
// end of the session. Call once, after the application object exists.
void quitOnTerminationRequest();

} // namespace platform
