#include "platform/registry/Hive.h"

#include "platform/registry/Registry.h"
#include "platform/text/Utf8.h"

namespace nv::platform {

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        } else if (c == '\\') {
            c = '\x01';
        }
    }
    return folded;
}

LONG CheckKeyPath(RegistryRoot root, const char* subKey, KeyPath& path) {
    std::string_view view = subKey != nullptr ? subKey : "";
    if (!view.empty() && view.front() == '\\') {
        return ERROR_BAD_PATHNAME;
    }
    if (!view.empty() && view.back() == '\\') {
        view.remove_suffix(1);
    }
    if (view.find("\\\\") != std::string_view::npos) {
        return ERROR_BAD_PATHNAME;
    }
    path.full = RootName(root);
    if (!view.empty()) {
        path.full += '\\';
        path.full += view;
    }
    if (!IsValidKeyPath(path.full)) {
        return ERROR_INVALID_PARAMETER;
    }
    path.sub.assign(view);
    return ERROR_SUCCESS;
}

bool IsValidKeyPath(std::string_view path) {
    if (path.empty() || path.size() > kMaxKeyPathBytes) {
        return false;
    }
    // Characters count as the registry counts them: one unit each, two beyond U+FFFF; a byte
    // that is not part of a UTF-8 character counts as one.
    std::size_t componentLength = 0;
    for (std::size_t at = 0; at < path.size();) {
        const char c = path[at];
        if (c == '\\') {
            if (componentLength == 0) {
                return false;
            }
            componentLength = 0;
            ++at;
            continue;
        }
        if (static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
        const std::size_t length = text::Utf8SequenceLength(path, at);
        componentLength += length == 4 ? 2 : 1;
        if (componentLength > kMaxKeyNameChars) {
            return false;
        }
        at += length == 0 ? 1 : length;
    }
    return componentLength != 0;
}

bool IsValidValueName(std::string_view name) {
    if (name.size() > kMaxValueNameBytes) {
        return false;
    }
    return name.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

const HiveKey* Hive::FindKey(std::string_view path) const {
    auto it = keys_.find(FoldName(path));
    return it == keys_.end() ? nullptr : &it->second;
}

HiveKey* Hive::FindKey(std::string_view path) {
    auto it = keys_.find(FoldName(path));
    return it == keys_.end() ? nullptr : &it->second;
}

bool Hive::KeyExists(std::string_view path) const {
    if (path.find('\\') == std::string_view::npos) {
        return true;
    }
    std::string folded = FoldName(path);
    auto it = keys_.lower_bound(folded);
    if (it == keys_.end()) {
        return false;
    }
    if (it->first == folded) {
        return true;
    }
    folded += '\x01';
    return it->first.compare(0, folded.size(), folded) == 0;
}

HiveKey& Hive::EnsureKey(std::string_view path) {
    // Walk the components; each prefix past the root is listed with the spelling it already
    // has, or with the caller's spelling when new.
    std::string spelled;
    HiveKey* key = nullptr;
    std::size_t start = 0;
    bool root = true;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        std::string_view component = path.substr(start, end - start);
        if (root) {
            spelled.assign(component);
            root = false;
        } else {
            spelled += '\\';
            spelled += component;
            std::string folded = FoldName(spelled);
            auto it = keys_.find(folded);
            if (it == keys_.end()) {
                it = keys_.emplace(folded, HiveKey{spelled, {}}).first;
            }
            spelled = it->second.path;
            key = &it->second;
        }
        start = end + 1;
    }
    if (key == nullptr) {
        // A bare root is listed as itself.
        std::string folded = FoldName(spelled);
        auto it = keys_.find(folded);
        if (it == keys_.end()) {
            it = keys_.emplace(folded, HiveKey{spelled, {}}).first;
        }
        key = &it->second;
    }
    return *key;
}

} // namespace nv::platform
