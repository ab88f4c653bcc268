// The temporary files of a file replacement: ".<name>.tmp-<pid>-<n>" beside
// the file, hidden, and never taken for a medium or a settings file. A
// process killed between creating one and renaming it leaves it behind; the
// next process that writes in that folder removes it.
#pragma once
#include <string>

namespace osa::posix {

// "<folder>/.<name>.tmp-<pid>-": the start of this process's temporary names
// for `name`.
std::string ScratchPrefix(const std::string& folder, const std::string& name);

// Removes the temporary files in `folder` whose process no longer runs.
// Looks once per folder in a process's life; a folder it cannot read is
// left as it is.
void RemoveLeftScratch(const std::string& folder);

} // namespace osa::posix
