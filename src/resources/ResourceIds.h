// Identifiers of the resource library's contents: strings, dialog templates, controls and
// icons. The string and command-template ID spaces are separate (see CommandIds.h).
#pragma once

#include "platform/wintypes.h"

namespace nv::res {

// Strings of the resource library.
namespace str {
// Display names of the paper sources, in the order of the tray keys.
inline constexpr UINT kTrayAuto = 93;
inline constexpr UINT kTray1 = 94;
inline constexpr UINT kTray2 = 95;
inline constexpr UINT kTray3 = 96;
inline constexpr UINT kTray4 = 97;
inline constexpr UINT kTray5 = 98;
inline constexpr UINT kTrayMultiPurpose = 99;
inline constexpr UINT kTrayManualFeed = 100;
inline constexpr UINT kFirstTray = kTrayAuto;
inline constexpr UINT kLastTray = kTrayManualFeed;

// Captions of the settings dialog's controls.
inline constexpr UINT kPrinterLabel = 1406;
inline constexpr UINT kPortLabel = 1407;
inline constexpr UINT kSettingsLabel = 1408;
inline constexpr UINT kPaperSourceLabel = 1409;
inline constexpr UINT kCopiesLabel = 1410;
inline constexpr UINT kDuplexCheck = 1411;
inline constexpr UINT kCollateCheck = 1412;
inline constexpr UINT kFitToPageCheck = 1413;
inline constexpr UINT kPageRangeCheck = 1414;
inline constexpr UINT kRangeLabel1 = 1415;
inline constexpr UINT kRangeLabel2 = 1416;
inline constexpr UINT kBindingLabel = 1417;
inline constexpr UINT kBindingLongEdge = 1418;
inline constexpr UINT kBindingShortEdge = 1419;
inline constexpr UINT kPasswordSectionLabel = 1420;
inline constexpr UINT kPasswordLabel = 1421;
inline constexpr UINT kPasswordCheck = 1422;
inline constexpr UINT kSavePasswordButton = 1423;
inline constexpr UINT kPrintButton = 1424;
inline constexpr UINT kCloseButton = 1425;
inline constexpr UINT kAboutMenuItem = 1426;
inline constexpr UINT kClearPasswordButton = 1427;

// Message captions and messages.
inline constexpr UINT kWarningCaption = 1500;
inline constexpr UINT kErrorCaption = 1501;
inline constexpr UINT kBadCopies = 1502;
inline constexpr UINT kFileNotFound = 1503;
inline constexpr UINT kFileCannotOpen = 1504;
inline constexpr UINT kFileInUse = 1505;
inline constexpr UINT kFileUnsupported = 1506;
inline constexpr UINT kVersionQuestion = 1507;
inline constexpr UINT kBadPageRange = 1508;
inline constexpr UINT kBadPassword = 1509;
inline constexpr UINT kNoPrinter = 1510;
inline constexpr UINT kNoSupportedPrinter = 1511;
inline constexpr UINT kProductLineFormat = 1512;
inline constexpr UINT kBadPrinterType = 1514;
// Why a print attempt that passed validation did not reach the printer.
inline constexpr UINT kDocumentHoldsUel = 1530;
inline constexpr UINT kPrinterRefused = 1531;
inline constexpr UINT kPrinterReset = 1532;
inline constexpr UINT kPrinterTimedOut = 1533;
inline constexpr UINT kSchedulerError = 1534;
inline constexpr UINT kDiskFull = 1535;
// The button that stops a job while it is sent.
inline constexpr UINT kCancelJobButton = 1536;
// The open-file dialog of a window program started without a file.
inline constexpr UINT kOpenFileTitle = 1650;
inline constexpr UINT kOpenFileFilterName = 1651;
inline constexpr UINT kOpenFileButton = 1652;
inline constexpr UINT kOpenFileCancel = 1653;
inline constexpr UINT kOpenFileNameLabel = 1654;
inline constexpr UINT kOpenFileTypeLabel = 1655;
inline constexpr UINT kOpenFileLookIn = 1656;

// Send failures: the printer, its address and what to check.
inline constexpr UINT kAdviceConnection = 1540;
inline constexpr UINT kAdviceScheduler = 1541;
inline constexpr UINT kAdviceDiskFull = 1542;
inline constexpr UINT kHostUnknown = 1543;
inline constexpr UINT kJobNotSent = 1544;
inline constexpr UINT kAdviceNotSent = 1545;

// The command-line program's own texts.
inline constexpr UINT kCliOptionTakesNoValue = 1700;
inline constexpr UINT kCliOptionNeedsValue = 1701;
inline constexpr UINT kCliUnknownOptionNamed = 1702;
inline constexpr UINT kCliUnknownOption = 1703;
inline constexpr UINT kCliAmbiguousOption = 1704;
inline constexpr UINT kCliBadCopies = 1705;
inline constexpr UINT kCliBadDuplex = 1706;
inline constexpr UINT kCliBadPages = 1707;
inline constexpr UINT kCliDryRunNeedsFile = 1708;
inline constexpr UINT kCliListTakesNoFile = 1709;
inline constexpr UINT kCliNoFile = 1710;
inline constexpr UINT kCliOneFileOnly = 1711;
inline constexpr UINT kCliUsageError = 1712;
inline constexpr UINT kCliUsage = 1713;
inline constexpr UINT kCliUsageMore = 1714;
inline constexpr UINT kCliBadWait = 1715;
inline constexpr UINT kCliInterrupted = 1720;
inline constexpr UINT kCliOptionDisabled = 1721;
inline constexpr UINT kCliNoSuchPrinter = 1722;
inline constexpr UINT kCliNone = 1723;
inline constexpr UINT kCliNoSuchTray = 1724;
inline constexpr UINT kCliFieldRefused = 1725;
inline constexpr UINT kCliSaveFailed = 1726;
inline constexpr UINT kCliNoPassword = 1727;
inline constexpr UINT kCliSettingsDenied = 1728;
inline constexpr UINT kCliSettingsNoRoom = 1729;
inline constexpr UINT kCliSettingsUnreadable = 1730;
inline constexpr UINT kCliSettingsIoFailed = 1731;
inline constexpr UINT kCliSettingsError = 1732;
inline constexpr UINT kCliListSelected = 1750;
inline constexpr UINT kCliListDriver = 1751;
inline constexpr UINT kCliListPort = 1752;
inline constexpr UINT kCliListType = 1753;
inline constexpr UINT kCliListTrays = 1754;
inline constexpr UINT kCliListDuplex = 1755;
inline constexpr UINT kCliListCollate = 1756;
inline constexpr UINT kCliListFit = 1757;
inline constexpr UINT kCliListRangeYes = 1758;
inline constexpr UINT kCliListRangeNo = 1759;
inline constexpr UINT kCliListRangeNoBecause = 1760;
inline constexpr UINT kCliRangeNotCarried = 1761;
inline constexpr UINT kCliOpenRangeNotCarried = 1762;
inline constexpr UINT kCliListPassword = 1763;
inline constexpr UINT kCliYes = 1764;
inline constexpr UINT kCliNo = 1765;
inline constexpr UINT kCliProgressSent = 1770;
inline constexpr UINT kCliProgressShare = 1771;
// Why a dry run refuses the file it was given to write.
inline constexpr UINT kDryRunIsFolder = 1780;
inline constexpr UINT kDryRunIsBlockDevice = 1781;
inline constexpr UINT kDryRunNotFileDeviceFifo = 1782;
inline constexpr UINT kDryRunNotFileDevicePipe = 1783;
inline constexpr UINT kDryRunIsInput = 1784;
inline constexpr UINT kDryRunDanglingLink = 1785;
inline constexpr UINT kDryRunBadName = 1786;
inline constexpr UINT kDryRunNoFolder = 1787;
inline constexpr UINT kDryRunSystemError = 1788; // %1: the system's error number
// Where a job went, the state of queues and jobs, and a scheduler that does not answer.
inline constexpr UINT kSchedulerSilentAt = 1600;   // %s: the scheduler's address
inline constexpr UINT kSchedulerSilent = 1601;     // the system's scheduler
inline constexpr UINT kJobSentWithId = 1602;       // document, printer, job ID
inline constexpr UINT kJobSent = 1603;             // document, printer
inline constexpr UINT kQueuedOnPausedQueue = 1604; // printer
inline constexpr UINT kQueueNotAccepting = 1605;   // printer
inline constexpr UINT kJobStateLine = 1606;        // job ID, state word
inline constexpr UINT kWaitInterrupted = 1607;     // job ID, printer
inline constexpr UINT kWaitRanOut = 1608;          // seconds, job ID, state word
inline constexpr UINT kPrinterClosed = 1609;       // printer
inline constexpr UINT kPrinterNotClosed = 1610;    // printer, seconds
inline constexpr UINT kJobPending = 1611;          // 1611..1617: the job states, in order
inline constexpr UINT kJobCompleted = 1617;
inline constexpr UINT kQueueIdle = 1618; // 1618..1620: the queue states, in order
inline constexpr UINT kQueueNotAcceptingWord = 1621;
inline constexpr UINT kStateLabel = 1622;
inline constexpr UINT kOnlyDirectPrinters = 1623;
inline constexpr UINT kWaitInterruptedNoId = 1624; // printer
// Printers a printers file holds past its size bound: count, file, bound in KiB (the second
// when the count is only a lower bound).
inline constexpr UINT kPrintersLeftOut = 1640;
inline constexpr UINT kPrintersLeftOutAtLeast = 1641;
// A command library whose templates are damaged (%s: its file name); nothing was sent.
inline constexpr UINT kCommandLibraryDamaged = 1580;
// A dry run's output folder is missing or cannot be written to.
inline constexpr UINT kOutputFolderUnwritable = 1581;
// A dry run's output device cannot be opened for writing.
inline constexpr UINT kOutputDeviceUnwritable = 1582;
// The document got shorter while it was sent.
inline constexpr UINT kDocumentCutWhileSent = 1583;
// The listing's mark for a printer model that cannot be printed to.
inline constexpr UINT kModelNotSupported = 1584;
} // namespace str

// Dialog templates.
namespace dlg {
inline constexpr UINT kSettings = 300;
inline constexpr UINT kAbout = 301;
} // namespace dlg

// Icon groups.
namespace icon {
inline constexpr UINT kLongEdge = 201;
inline constexpr UINT kShortEdge = 202;
inline constexpr UINT kProgram = 204;
} // namespace icon

// Controls of the settings dialog (template 300) and of the About box (template 301).
namespace ctl {
inline constexpr UINT kPrinterLabel = 1000;
inline constexpr UINT kPrinterList = 1001;
inline constexpr UINT kPortLabel = 1002;
inline constexpr UINT kPortText = 1003;
inline constexpr UINT kSettingsLabel = 1004;
inline constexpr UINT kPaperSourceLabel = 1005;
inline constexpr UINT kPaperSourceList = 1006;
inline constexpr UINT kCopiesLabel = 1007;
inline constexpr UINT kCopiesEdit = 1008;
inline constexpr UINT kCopiesSpin = 1009;
inline constexpr UINT kDuplexCheck = 1010;
inline constexpr UINT kCollateCheck = 1011;
inline constexpr UINT kFitToPageCheck = 1012;
inline constexpr UINT kPageRangeCheck = 1013;
inline constexpr UINT kStartPageEdit = 1014;
inline constexpr UINT kEndPageEdit = 1015;
inline constexpr UINT kRangeLabel1 = 1016;
inline constexpr UINT kRangeLabel2 = 1017;
inline constexpr UINT kStartPageSpin = 1018;
inline constexpr UINT kEndPageSpin = 1019;
inline constexpr UINT kBindingLabel = 1020;
inline constexpr UINT kBindingList = 1021;
inline constexpr UINT kBindingIcon = 1022;
inline constexpr UINT kPasswordSectionLabel = 1023;
inline constexpr UINT kPasswordLabel = 1025;
inline constexpr UINT kPasswordCheck = 1026;
inline constexpr UINT kPasswordEdit = 1027;
inline constexpr UINT kSavePasswordButton = 1028;
inline constexpr UINT kPrintButton = 1029;
inline constexpr UINT kCloseButton = 1030;
inline constexpr UINT kClearPasswordButton = 1031;
inline constexpr UINT kDefaultsButton = 102;
inline constexpr UINT kSaveSettingsButton = 103;
inline constexpr UINT kAboutButton = 105;

inline constexpr UINT kAboutExeName = 1200;
inline constexpr UINT kAboutExeVersion = 1201;
inline constexpr UINT kAboutLibName = 1202;
inline constexpr UINT kAboutLibVersion = 1203;
inline constexpr UINT kAboutResName = 1204;
inline constexpr UINT kAboutResVersion = 1205;
inline constexpr UINT kAboutProductLine = 1513;
} // namespace ctl

// File names of the side libraries in the program directory.
inline constexpr const char* kResourceLibrary = "Norvres.dll";
inline constexpr const char* kCompanionLibrary = "Norvane.dll";
// The folder of the program directory that holds one folder per further language, named by
// its tag ("lang/en/Norvres.dll").
inline constexpr const char* kLanguageFolder = "lang";

} // namespace nv::res
