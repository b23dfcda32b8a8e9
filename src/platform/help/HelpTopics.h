// Where the HTML help topics lie and which one a help request opens. The help file the
// program names (e.g. <program dir>/Norvane.chm) stands for the folder help/<language>/ beside
// it: index.html is the main page (context 1), topic-<ID>.html the topic of context ID <ID>.
#pragma once

#include "platform/wintypes.h"

#include <functional>
#include <string>

namespace nv::platform {

// The export ordinal the help runtime's entry point has.
inline constexpr UINT kHtmlHelpEntryOrdinal = 14;

// The help file text without its window-type suffix (">popup" and the like): the text after
// the last '>' when it holds no path separator. So a program folder whose name holds '>' still
// names its help file.
std::string HelpFileOf(const std::string& fileText);

// The topic file for CONTEXT of help file HELPFILE in LANGUAGE ("ja", "en"): the topic's own
// page when it exists, else the main page; the language's folder when it exists, else the
// English one, else the Japanese one. "" when no page exists. EXISTS tells whether a file
// exists (injected for tests).
std::string ResolveHelpTopic(const std::string& helpFile, UINT context, const std::string& language,
                             const std::function<bool(const std::string&)>& exists);

// A file path as a file: URL, with every byte outside the unreserved set percent-encoded.
std::string FileUrl(const std::string& path);

} // namespace nv::platform
