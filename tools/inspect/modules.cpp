// norvane-inspect commands for resource modules: string tables, version information, icons.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "commands.h"
#include "platform/modules/Modules.h"

namespace nv::inspect {

namespace {

// ID as a decimal number from 0 to 65535, or -1.
long ParseId(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 0xFFFF) {
        return -1;
    }
    return value;
}

// TEXT with line breaks, tabs and backslashes written as \n, \r, \t and \\, so that each
// string stays on its own line.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::unique_ptr<platform::ResourceModule> Open(const char* path) {
    auto module = platform::ResourceModule::Load(path);
    if (!module) {
        std::fprintf(stderr, "norvane-inspect: cannot load %s\n", path);
    }
    return module;
}

} // namespace

int runStrings(int argc, char** argv) {
    if (argc < 1) {
        std::fprintf(stderr, "usage: norvane-inspect strings MODULE [ID...]\n");
        return 2;
    }
    std::vector<UINT> ids;
    for (int i = 1; i < argc; ++i) {
        const long id = ParseId(argv[i]);
        if (id < 0) {
            std::fprintf(stderr, "norvane-inspect: '%s' is not a string ID (0 to 65535)\n",
                         argv[i]);
            return 2;
        }
        ids.push_back(static_cast<UINT>(id));
    }
    auto module = Open(argv[0]);
    if (!module) {
        return 1;
    }
    if (ids.empty()) {
        ids = module->StringIds();
    }
    for (UINT id : ids) {
        std::printf("%u\t%s\n", id, Escaped(module->LoadText(id)).c_str());
    }
    return 0;
}

int runVersion(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: norvane-inspect version MODULE\n");
        return 2;
    }
    auto version = platform::ReadVersionStrings(argv[0]);
    if (!version) {
        std::fprintf(stderr, "norvane-inspect: no version information in %s\n", argv[0]);
        return 1;
    }
    for (const auto& [language, codePage] : version->translations) {
        std::printf("Translation\t%04x%04x\n", language, codePage);
    }
    for (const auto& value : version->values) {
        std::printf("%s\t%s\n", value.name.c_str(), Escaped(value.value).c_str());
    }
    return 0;
}

int runIcons(int argc, char** argv) {
    if (argc != 1 && argc != 3) {
        std::fprintf(stderr, "usage: norvane-inspect icons MODULE [ID OUT.ico]\n");
        return 2;
    }
    const long wanted = argc == 3 ? ParseId(argv[1]) : 0;
    if (wanted < 0) {
        std::fprintf(stderr, "norvane-inspect: '%s' is not an icon ID\n", argv[1]);
        return 2;
    }
    auto module = Open(argv[0]);
    if (!module) {
        return 1;
    }
    if (argc == 3) {
        auto group = module->LoadIconGroup(static_cast<UINT>(wanted));
        if (!group) {
            std::fprintf(stderr, "norvane-inspect: no icon %ld in %s\n", wanted, argv[0]);
            return 1;
        }
        const auto bytes = group->ToIcoFile();
        std::ofstream out(argv[2], std::ios::binary);
        if (!out.write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()))) {
            std::fprintf(stderr, "norvane-inspect: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    for (UINT id : module->ResourceIds(platform::kRtGroupIcon)) {
        auto group = module->LoadIconGroup(id);
        std::printf("%u", id);
        for (const auto& image : group ? group->images : std::vector<platform::IconImage>{}) {
            std::printf("\t%dx%dx%d", image.width, image.height, image.bitCount);
        }
        std::printf("\n");
    }
    return 0;
}

} // namespace nv::inspect
