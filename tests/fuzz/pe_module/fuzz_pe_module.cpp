// Fuzz target for the resource module reader: any bytes given as a module file (or as an
// executable carrying one) are parsed and every kind of read the program makes is tried.
#include "ExerciseModule.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nv::test::ExerciseModule(std::vector<std::uint8_t>(data, data + size));
    return 0;
}
