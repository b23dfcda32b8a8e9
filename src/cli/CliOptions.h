// The command line of the command-line front end: options that stand for what a user does in
// the print-settings dialog, and the PDF's path as the last argument.
#pragma once

#include "platform/wintypes.h"

#include <optional>
#include <string>
#include <vector>

namespace nv::cli {

// Exit statuses of the command-line front end.
enum CliStatus : int {
    kStatusPrinted = 0,   // the whole job was handed to the spooler
    kStatusNotSent = 1,   // the job was not handed over in full (printer, spooler or library)
    kStatusUsage = 2,     // the command line is wrong
    kStatusStartup = 3,   // resource library, input file or printers: the program could not start
    kStatusRefused = 4,   // a value the dialog refused, or a printer or tray it does not offer
    kStatusDisabled = 5,  // an option this printer model does not offer (its control is disabled)
    kStatusDeclined = 6,  // the PDF version question was answered No
    kStatusStillHeld = 7, // --wait=SECONDS ran out before the job ended
};

enum class Duplex { off, longEdge, shortEdge };

struct PageRange {
    std::string start;
    std::string end; // "" for an open end
};

struct CliOptions {
    bool help = false;
    bool version = false;
    bool list = false;
    bool quiet = false;
    std::optional<std::string> printer;
    std::optional<std::string> tray;
    std::optional<std::string> copies;
    std::optional<bool> collate;
    std::optional<Duplex> duplex;
    std::optional<bool> fitToPage;
    std::optional<PageRange> pages;
    bool passwordFromStdin = false;
    bool defaults = false;
    bool save = false;
    bool yes = false;
    std::optional<std::string> dryRunFile;
    bool wait = false;                   // --wait: follow the job to its end
    std::optional<unsigned> waitSeconds; // --wait=SECONDS: for at most that long
    std::string pdfPath;
};

class CliTexts;

struct ParseResult {
    CliOptions options;
    std::string error;   // the complaint; empty when the command line is usable
    bool failed = false; // the command line is not usable (even when no text words it)

    void Fail(std::string complaint) {
        error = std::move(complaint);
        failed = true;
    }
};

// Parses ARGS (without the program name) with getopt_long. Options take their value as the
// next argument or after '='; long options may be shortened to a prefix that names one alone;
// "--" ends the options. The PDF path is the last argument and required unless --help,
// --version or --list is given. Not reentrant: getopt_long keeps its state in the process.
// Complaints are worded from TEXT (an empty one leaves the error empty only when the command
// line is usable: a refused one still fails, with the text the library has, maybe "").
ParseResult ParseCliOptions(const std::vector<std::string>& args, const CliTexts& text);

// The --help text for PROGRAM, worded from TEXT.
std::string UsageText(const std::string& program, const CliTexts& text);

} // namespace nv::cli
