// Stand-in for the profile command until the profile reader joins this tree; the real
// definition replaces it (this one is weak). Delete this file when merging.
#include <cstdio>

#include "commands.h"

namespace nv::inspect {

__attribute__((weak)) int runProfile(int /*argc*/, char** /*argv*/) {
    std::fprintf(stderr, "norvane-inspect: the profile command is not built in this tree\n");
    return 2;
}

} // namespace nv::inspect
