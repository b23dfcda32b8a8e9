// File services the logic relies on: the program directory, the exclusive read-only open of
// the PDF (a file another program holds open counts as in use), and text-mode reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace nv::platform {

// The separator of a path's components on this platform, and every character that separates
// them in a path it is given (Windows takes both '\\' and '/').
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr const char* kPathSeparators = "\\/";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr const char* kPathSeparators = "/";
#endif

// The running executable's full path, links resolved; "" when it cannot be found.
std::string GetModuleFileName();

// The running executable's directory, links resolved, ending in kPathSeparator.
std::string GetProgramDirectory();

// Why an open failed, with the meanings of the framework's file-exception causes.
enum class FileCause {
    none,
    generic,          // any other failure
    fileNotFound,     // the file or a folder on its path does not exist
    badPath,          // the path is malformed (empty, too long, a component too long, ...)
    tooManyOpenFiles, // the process ran out of handles
    accessDenied,     // permissions, or the path names a folder
    sharingViolation, // another open of the file conflicts with the exclusive open
    lockViolation,
    hardIO,
    endOfFile,
};

// A file opened for reading with exclusive sharing. Closes on destruction.
class ExclusiveFile {
public:
    // Opens PATH read-only and takes a non-blocking exclusive lock on it; on failure returns
    // null and stores the reason in *CAUSE (when given; none on success). Only regular files
    // open: a folder, a pipe or a device gives accessDenied. A conflicting lock, shared or
    // exclusive, gives sharingViolation, and while the file is open every later exclusive open
    // fails the same way. Which programs count as holding the file depends on the platform's
    // locks; on Linux only programs that lock the file are seen (see the posix implementation).
    static std::unique_ptr<ExclusiveFile> Open(const std::string& path, FileCause* cause);

    virtual ~ExclusiveFile() = default;
    // Length in bytes (64-bit), or -1 when it cannot be read.
    virtual std::int64_t Length() const = 0;
    // Reads up to SIZE bytes at the current position, in binary: fewer only at the end of the
    // file. Returns the count, 0 at the end, -1 on error.
    virtual std::int64_t Read(void* buffer, std::size_t size) = 0;
    // Reads one line in text mode like CStdioFile::ReadString into BUFFER of SIZE bytes: CR LF
    // is read as LF (a CR before anything else stays a CR), a 0x1A byte ends the data for every
    // later line read, at most SIZE-1 bytes are stored (the LF kept when it fits; a longer line
    // goes on in the next call), NUL-terminated. A NUL byte in the file is stored as it is.
    // Returns false, with BUFFER empty, at the end of the data, on an error, and when SIZE < 2
    // leaves no room for a character. Read and ReadTextLine share one position.
    virtual bool ReadTextLine(char* buffer, std::size_t size) = 0;
};

} // namespace nv::platform
