// The store kept in one REGEDIT4 text file. Every operation looks at the file afresh (it is
// parsed again only when its identity, FileIdentity, changed since it was parsed); every change
// takes an exclusive lock (a lock file beside it), re-reads the file, applies the one change and
// replaces the file atomically (temporary file, fsync, rename, fsync of the folder), so running
// instances never lose each other's values. The file and its lock file are private to the user
// (0600) and a folder created for them is 0700. Only changes to values write the file: a key
// created to be read is listed when its first value is set.
#pragma once

#include "platform/files/posix/FileIdentity.h"
#include "platform/registry/HiveRegistry.h"

#include <optional>
#include <string>

namespace nv::platform {

class FileRegistry final : public HiveRegistry {
public:
    explicit FileRegistry(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

protected:
    // A missing, unreadable or garbled file reads as whatever could be read of it (maybe
    // nothing); a file larger than kMaxRegFileBytes reads as empty, refused from its size.
    const Hive& Load() override;
    // Refuses to write over a file it cannot read whole, so that nothing it cannot see is ever
    // dropped: unreadable (ERROR_ACCESS_DENIED or ERROR_REGISTRY_IO_FAILED), larger than
    // kMaxRegFileBytes (ERROR_NOT_ENOUGH_QUOTA), or not rewritable as RegFileContent tells
    // (ERROR_REGISTRY_CORRUPT). Lines it cannot parse are written back as they were. Temporary
    // files left by a writer that was killed are removed.
    LONG Update(const std::function<bool(Hive&)>& change) override;
    bool ListsNewKeysAtOnce() const override { return false; }

private:
    std::string path_;
    Hive loaded_;                                // the file as parsed last
    std::optional<FileIdentity> loadedIdentity_; // of the file LOADED_ came from
};

// Where the current user's file lies: NORVANE_REGISTRY when set, else
// $XDG_CONFIG_HOME/velmora-quillet/registry.reg when XDG_CONFIG_HOME is absolute, else the
// same below ~/.config (HOME, or the user's home from the account database). Empty when no
// home can be found.
std::string UserRegistryPath();

} // namespace nv::platform
