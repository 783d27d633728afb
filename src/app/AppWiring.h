#pragma once

class BackupInstanceLock;
class RaceSession;

// The windows of one run of the program around a started race session: the main window, the
// print preview, the settings dialog, the question dialog, "Info..." and the audience windows,
// created in this order so that none finds another half built.
namespace AppWiring {

// Shows the main window and runs the event loop until it is closed or the program is told to
// end; every window is gone when it returns the loop's exit code.
int runWindows(RaceSession& session, BackupInstanceLock& backup);

} // namespace AppWiring
