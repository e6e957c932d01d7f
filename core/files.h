// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Files written whole: created under a temporary name in the folder of their
// target and renamed to it once complete, so that no reader ever sees a
// file cut short under its final name, and a symbolic link at that name is
// replaced rather than followed.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace zep {

// Creates a new empty file with a unique name in the folder of `target`
// ("<folder>/.<name>.XXXXXX<extension>") and opens it for writing; sets
// `created` to its path. Null with errno set on failure.
std::FILE* CreateFileBeside(const std::filesystem::path& target, std::filesystem::path& created);

// What stands at `path` itself (a link is not followed) when it is neither
// absent, nor a regular file, nor a symbolic link: "a folder", "a named
// pipe", "a device", "a socket"; empty otherwise.
std::string NotARegularFile(const std::filesystem::path& path);

}  // namespace zep
