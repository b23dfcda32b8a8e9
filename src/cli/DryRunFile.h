// The file a dry run writes its job to, as each platform opens it: a temporary file of
// unpredictable name beside the target, which replaces the target at the end, or a character
// device or pipe written directly.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace nv::cli {

class DryRunFile {
public:
    virtual ~DryRunFile() = default;
    // Writes up to SIZE bytes of DATA; the count written, 0 on failure.
    virtual std::size_t Write(const char* data, std::size_t size) = 0;
    // Closes the file (a temporary file reaches the disk first where the platform needs it);
    // false when that failed. Closing twice does nothing.
    virtual bool Close() = 0;
    // Whether the bytes go to a temporary file that is to replace the target.
    virtual bool HasTemporary() const = 0;
    // Puts the closed temporary file in the target's place, unless something other than a file
    // (or the input file) now stands there.
    virtual bool ReplaceTarget() = 0;
    virtual void RemoveTemporary() = 0;
};

// Why a dry run's file could not be opened: its folder is missing or read-only, the device it
// names cannot be opened for writing, or anything else.
enum class DryRunOpenProblem { none, folder, device, other };

// Opens the dry run's file for PATH as StartFileDocument describes; null when PATH is refused
// or cannot be written, with the reason in *PROBLEM when given.
std::unique_ptr<DryRunFile> OpenDryRunFile(const std::string& path, const std::string& inputPath,
                                           DryRunOpenProblem* problem = nullptr);

} // namespace nv::cli
