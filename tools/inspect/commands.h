// One entry point per norvane-inspect command; each gets the arguments after its name and
// returns the process exit status (0 success, 1 the input could not be read, 2 bad usage).
#pragma once

namespace nv::inspect {

int runProfile(int argc, char** argv);
int runStrings(int argc, char** argv);
int runVersion(int argc, char** argv);
int runIcons(int argc, char** argv);

} // namespace nv::inspect
