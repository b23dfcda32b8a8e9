#include "platform/registry/Hive.h"

#include "platform/registry/Registry.h"
#include "platform/text/Utf8.h"

#include <vector>

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
    const std::string folded = FoldName(path);
    if (auto it = keys_.find(folded); it != keys_.end()) {
        return it->second;
    }
    const std::size_t rootEnd = path.find('\\');
    if (rootEnd == std::string_view::npos) {
        // A bare root is listed as itself.
        return keys_.emplace(folded, HiveKey{std::string(path), {}}).first->second;
    }
    // From the deepest prefix up to the first one listed (a folded prefix is the prefix of the
    // folded path): the missing prefixes' lengths, deepest first, and the spelling to build on.
    const std::string_view foldedView = folded;
    std::vector<std::size_t> missing{path.size()};
    std::string spelled(path.substr(0, rootEnd));
    std::size_t spelledEnd = rootEnd;
    for (std::size_t end = path.rfind('\\'); end != std::string_view::npos && end > rootEnd;
         end = path.rfind('\\', end - 1)) {
        if (auto it = keys_.find(foldedView.substr(0, end)); it != keys_.end()) {
            spelled = it->second.path;
            spelledEnd = end;
            break;
        }
        missing.push_back(end);
    }
    HiveKey* key = nullptr;
    for (auto end = missing.rbegin(); end != missing.rend(); ++end) {
        spelled += path.substr(spelledEnd, *end - spelledEnd);
        spelledEnd = *end;
        key = &keys_.emplace(std::string(foldedView.substr(0, *end)), HiveKey{spelled, {}})
                   .first->second;
    }
    return *key;
}

HiveKey& Hive::ListKey(std::string_view path) {
    std::string folded = FoldName(path);
    auto it = keys_.find(folded);
    if (it == keys_.end()) {
        it = keys_.emplace(std::move(folded), HiveKey{std::string(path), {}}).first;
    }
    return it->second;
}

} // namespace nv::platform
