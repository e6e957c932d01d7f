// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The parts of render/system.h that need only the C++ library: Windows'
// rules for names, which are checked on every system.
#include <cctype>

#include "render/system.h"

namespace zep::render::sys {

bool IsWindowsDeviceName(const std::filesystem::path& path) {
    std::string leaf = path.filename().string();
    // The device is named by what comes before the first dot; spaces and a
    // colon after it change nothing.
    leaf = leaf.substr(0, leaf.find('.'));
    while (!leaf.empty() && (leaf.back() == ' ' || leaf.back() == ':')) leaf.pop_back();
    for (char& c : leaf) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (leaf == "NUL" || leaf == "CON" || leaf == "AUX" || leaf == "PRN") return true;
    return leaf.size() == 4 && (leaf.compare(0, 3, "COM") == 0 || leaf.compare(0, 3, "LPT") == 0) &&
           leaf[3] >= '1' && leaf[3] <= '9';
}

std::string PartEndingInSpaceOrDot(const std::string& path) {
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find_first_of("/\\", begin);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(begin, end - begin);
        if (!part.empty() && part != "." && part != ".." && (part.back() == ' ' || part.back() == '.'))
            return part;
        begin = end + 1;
    }
    return {};
}

}  // namespace zep::render::sys
