#pragma once

#include <QString>

// Where the program keeps its tables and its settings file. A program run from a folder its user
// can write (a build folder, a portable copy) keeps them beside itself; an installed program, whose
// folder the user cannot write, keeps them in the user's data folder.
namespace DataLocation {

// True when the current user may create files in `directory`. Root may write anywhere, so for
// root the folder's write permission bits stand for whether it is meant to be written.
[[nodiscard]] bool isWritableByUser(const QString &directory);

// $XDG_DATA_HOME/saporin, which is ~/.local/share/saporin when XDG_DATA_HOME is unset.
[[nodiscard]] QString userDataDirectory();

// The data folder of a program that lives in `programDirectory`. Folders under /usr are never
// written (they belong to the system's package manager, even for root). The user's data folder
// is created when it is chosen and missing; a failure to create it shows when the tables are
// opened or written.
[[nodiscard]] QString directoryFor(const QString &programDirectory);

// The data folder of the running program.
[[nodiscard]] QString directory();

} // namespace DataLocation
