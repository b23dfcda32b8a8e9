// What one print job asks for and whose job it is: the options the user picked and the owner
// the header names. The dialog holds both; the settings store and the header composer work on
// them without the dialog.
#pragma once

#include "platform/wintypes.h"

namespace nv {

// The limits of the copies and page fields.
inline constexpr int kMinCopies = 1;
inline constexpr int kMaxCopies = 999;
inline constexpr int kMinPage = 1;
inline constexpr int kMaxPage = 9999;

constexpr bool CopiesInRange(UINT copies) {
    return copies >= static_cast<UINT>(kMinCopies) && copies <= static_cast<UINT>(kMaxCopies);
}

struct JobOptions {
    CString m_strTrayKey = {};   // the paper source's key in the capability file
    CString m_strPaperFeed = {}; // the paper source's shown text, as saved
    UINT m_nCopies = 1;
    BOOL m_bCollate = FALSE;
    BOOL m_bDuplex = FALSE;
    int m_nBinding = 0; // 0 long edge, 1 short edge
    BOOL m_bFitToPage = FALSE;
    BOOL m_bPageRange = FALSE;
    int m_nStartPage = 1;
    int m_nEndPage = 1; // -1: up to the last page
    BOOL m_bUsePassword = FALSE;
    CString m_strPassword = {};
};

struct JobOwner {
    BOOL m_bHasJobLog = FALSE; // the job-log library was there
    int m_nAccountId = 0;
    CString m_strUserName = {};
    CString m_strJobInfoCmd = {}; // the job-info library's command, sent as it stands
};

} // namespace nv
