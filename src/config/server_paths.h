// Resolving the suite's folder set the way the suite itself does it.
#pragma once

// Sets the install folder when it is still empty (from the command-line
// switch "InstallDir=FOLDER", else the running program's folder), resets the
// other folders to their defaults, applies "path.dat", reads the
// distribution information and the server title, and works out the local
// time-zone text.
void InitServerPaths();
