#pragma once
// Whole-file writes and reads for the text exports. Failures are thrown as std::system_error whose
// what() is the file name, ": " and the system's text, so a window can show them as they are.

#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// Writes `bytes` to `fileName`, replacing the file at once (lib/save_io.h). A symbolic link or
// another user's file at that name is refused: the exports go to the shared temporary folder
// under names anyone can predict.
void saveOutputFile(const std::string& fileName, std::string_view bytes);

// The whole file.
std::string loadOutputFile(const std::string& fileName);

// Creates `folder` when it does not exist (one level; its parent must exist).
void ensureOutputFolder(const std::string& folder);

// The lines of a text split at CR, LF or CR LF; a break at the very end adds no empty line.
std::vector<std::string_view> splitTextLines(std::string_view text);

} // namespace vesk
