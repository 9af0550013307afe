// Replacing a small file whole: the new content goes to a fresh temporary file beside the
// target, reaches the disk, and is renamed over the target, so a crash or a full disk leaves
// either the old file or the new one, never a mix.
#pragma once

#include <filesystem>
#include <string>

// The file a path names once symbolic links in its last part are followed (a link to a link
// too). Saving through the result keeps a player's link a link. A path that is no link comes
// back unchanged.
std::filesystem::path FollowLinks(const std::filesystem::path& path);

// Whether this process may write the file at path (which exists).
bool MayWrite(const std::filesystem::path& path);

// Writes bytes as the new content of target (a path with no link in its last part). The
// temporary file is made with exclusive creation, never through a link, named target's name
// followed by ".tmp" and six random characters. An existing target's permissions (and its
// owner, where the process may set it) carry over. False with the cause in error when nothing
// was replaced; no temporary file is left behind then.
bool AtomicSave(const std::filesystem::path& target, const std::string& bytes,
                std::string& error);

// Removes what an interrupted save left beside target: regular files whose names start with
// target's name and ".tmp". Folders and links of those names are someone else's and stay.
void RemoveStaleTemporaries(const std::filesystem::path& target);
