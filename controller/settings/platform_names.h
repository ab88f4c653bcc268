// The names and texts of the controller's files that differ between the
// Windows and the Linux build. The only place in the core that looks at the
// platform macro: the build decides, nothing at run time.
#pragma once
#include <string_view>

namespace osa {

#if defined(_WIN32)
// The animated-instructions program beside OSACTL.EXE.
inline constexpr std::string_view CompanionFileName = "MTC_DMAN.EXE";
// Profile files hold text in the ANSI code page, which is 932 on the
// Japanese systems these media names come from. These are the code page 932
// bytes of "クラフトマルチ台紙なしカード" (card without craft-paper backing),
// the medium selected when the settings file names none.
inline constexpr std::string_view DefaultMediaName =
    "\x83\x4e\x83\x89\x83\x74\x83\x67\x83\x7d\x83\x8b\x83\x60\x91\xe4\x8e\x86\x82\xc8\x82\xb5"
    "\x83\x4a\x81\x5b\x83\x68";
#else
// The companion program beside osactl (build target mtc_dman).
inline constexpr std::string_view CompanionFileName = "mtc_dman";
// Profile files hold UTF-8 on Linux, as file names do.
inline constexpr std::string_view DefaultMediaName = "クラフトマルチ台紙なしカード";
#endif

} // namespace osa
