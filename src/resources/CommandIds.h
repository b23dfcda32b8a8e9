// Identifiers of the PJL command templates in a command library, and which library serves
// which printer type.
#pragma once

#include "platform/wintypes.h"

namespace nv::cmd {

inline constexpr UINT kJobStart = 1;
inline constexpr UINT kPaperSourceBegin = 2;  // type 0
inline constexpr UINT kPaperSourceTray = 3;   // type 0
inline constexpr UINT kManualFeed = 4;        // types 0, 3, 4
inline constexpr UINT kPaperSource = 5;       // types 1, 2
inline constexpr UINT kCopies = 7;
inline constexpr UINT kDuplex = 8;
inline constexpr UINT kBinding = 9;
inline constexpr UINT kCollation = 10;
inline constexpr UINT kFitToPage = 11;        // types 0, 1, 2
inline constexpr UINT kJobOwner = 12;
inline constexpr UINT kJobOwnerAccount = 13;
inline constexpr UINT kPageRange = 16;        // types 0, 1, 2
inline constexpr UINT kEndOfJob = 17;
inline constexpr UINT kFixedLine18 = 18;
inline constexpr UINT kFixedLine19 = 19;
inline constexpr UINT kFixedLine20 = 20;
inline constexpr UINT kPassword = 21;
inline constexpr UINT kPageRangeOpenEnd = 22;
inline constexpr UINT kPageRangeJobStart = 26;  // types 3, 4
inline constexpr UINT kMediaSource = 27;        // types 3, 4
inline constexpr UINT kFitToPageSwitch = 28;    // types 3, 4

// The template IDs a command library may hold, in ascending order.
inline constexpr UINT kAllTemplates[] = {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12,
                                         13, 16, 17, 18, 19, 20, 21, 22, 26, 27, 28};

// Buffer sizes (bytes, with the terminating NUL) the templates are read into.
inline constexpr int kJobStartBufferSize = 320;
inline constexpr int kShortBufferSize = 128;  // IDs 8, 9, 11, 18, 28
inline constexpr int kFixedLineBufferSize = 64;  // IDs 19, 20
inline constexpr int kBufferSize = 260;

// The buffer size template ID is read into.
constexpr int TemplateBufferSize(UINT id) {
    switch (id) {
    case kJobStart:
        return kJobStartBufferSize;
    case kDuplex:
    case kBinding:
    case kFitToPage:
    case kFixedLine18:
    case kFitToPageSwitch:
        return kShortBufferSize;
    case kFixedLine19:
    case kFixedLine20:
        return kFixedLineBufferSize;
    default:
        return kBufferSize;
    }
}

// File name of the command library for PRINTERTYPE: "nvaComDLL.dll" for 1, 3 and 4,
// "nvbComDLL.dll" for 2, "nvcComDLL.dll" for 0 and every other value.
constexpr const char* CommandLibraryName(UINT printerType) {
    switch (printerType) {
    case 1:
    case 3:
    case 4:
        return "nvaComDLL.dll";
    case 2:
        return "nvbComDLL.dll";
    default:
        return "nvcComDLL.dll";
    }
}

} // namespace nv::cmd
