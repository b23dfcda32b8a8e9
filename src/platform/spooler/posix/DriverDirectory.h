// Where printer drivers live on Linux. There is no per-driver installation: one driver
// directory holds the capability files (nv*.cap) and the side libraries for every model, and
// every printer's driver record lists its files.
//
// The driver directory is the first of these that exists as a directory:
//   1. $NORVANE_DRIVER_DIR (when set and not empty);
//   2. the per-user data directory: $XDG_DATA_HOME/velmora-quillet/drivers, where an unset,
//      empty or relative XDG_DATA_HOME means $HOME/.local/share;
//   3. the system data directories: <dir>/velmora-quillet/drivers for each <dir> of
//      $XDG_DATA_DIRS in order (unset or empty means /usr/local/share:/usr/share; relative
//      entries are skipped).
#pragma once

#include "platform/spooler/Spooler.h"

#include <optional>
#include <string>
#include <vector>

namespace nv::platform {

// The driver directory by the rules above, without a trailing '/'; none when none exists.
std::optional<std::string> FindDriverDirectory();

// Builds the driver record of the driver DRIVER_NAME from the driver directory: the record's
// directory is "<dir>/", the driver path "<dir>/<name>" (with '/' in the name replaced by '_';
// the file need not exist; other bytes, '\' among them, are kept), and
// the dependent files are the full paths of the directory's regular files (links followed),
// sorted byte-wise by name, at most 4096 of them. Returns FALSE when no driver directory
// exists.
BOOL ReadDriverRecord(const CString& driverName, DriverInfo* info);

// The driver directory found and read once: the first Read finds the directory and lists its
// files, later ones build records from that listing, so that many printers cost one read of the
// folder. A spooler keeps one for its lifetime (one run of a program).
class DriverDirectoryCache {
public:
    // As ReadDriverRecord, from the listing of the first call.
    BOOL Read(const CString& driverName, DriverInfo* info);

private:
    bool scanned_ = false;
    std::optional<std::string> prefix_; // "<dir>/"; none when no driver directory exists
    std::vector<std::string> names_;    // its regular files, sorted, at most 4096
};

} // namespace nv::platform
