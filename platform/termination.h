#pragma once

namespace platform {

// Makes a termination request from the system end the program the way
// "Quitter" does: the event loop returns and the normal shutdown saves the
// settings and items. On Unix: SIGTERM, SIGINT and SIGHUP. On Windows: the
// end of the session. Call once, after the application object exists.
void quitOnTerminationRequest();

// Takes the termination requests from the very start of the process, before
// the application object exists: one that comes while the program starts is
// kept, and acted on by quitOnTerminationRequest() once the event loop runs,
// instead of ending the process on the spot with nothing saved.
void catchTerminationRequests();

} // namespace platform
