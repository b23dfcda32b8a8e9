// Gathering the job owner for the next header: the command of the model's job-info library,
// else the account and user name of the job-log library, else the user the process runs as.
#pragma once

#include "job/JobOptions.h"
#include "platform/wintypes.h"

#include <optional>

namespace nv {

// Where the owner is looked for, and what the job-info library is told.
struct JobOwnerQuery {
    CString driverDir; // the driver's folder, ending in the path separator
    CString printerName;
    CString capFile;
    CString fileName;                      // the PDF's file name
    std::optional<CString> jobInfoLibrary; // the model's job-info library; none: not named
};

// OWNER with what the side libraries say now: from a job-info library only the command, else
// only the job-log fields (the rest of OWNER stays as it was). Side libraries are freed before
// it returns. Nothing when the job-info library cannot be loaded.
std::optional<JobOwner> GatherJobOwner(const JobOwnerQuery& query, JobOwner owner);

} // namespace nv
