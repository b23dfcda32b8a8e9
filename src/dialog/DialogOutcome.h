// What ended the dialog's last step, as the dialog itself knows it: a front end that drives
// the dialog without a window tells the user why a run stopped from this, not from the boxes
// it saw.
#pragma once

namespace nv {

enum class DialogOutcome {
    none,        // nothing was refused, declined or sent
    refused,     // a warning refused a value the user gave (copies, page range, password)
    declined,    // a question was answered No (the PDF's version)
    unavailable, // an error: the input file, the printers or the printer's model cannot be used
    jobFailed,   // the job was not handed to the spooler in full (GetJobFailure says why)
    cancelled,   // a stop request cancelled the job
    sent         // the whole job was handed to the spooler
};

} // namespace nv
