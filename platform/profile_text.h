// The text of a profile (INI) file, parsed and edited in memory. The Linux
// profile store and the in-memory one both read and write through these
// functions, so the two agree byte for byte; no operating-system call here.
//
// The format, as this reader understands it:
//   - lines end with LF or CR LF (both are read; a lone CR is text);
//   - a leading UTF-8 byte-order mark is skipped when parsing and kept;
//   - "[name]" opens a section: the name is the text between '[' and the
//     last ']' of the line, with surrounding blanks trimmed;
//   - "key=value": the key is the text before the first '=', the value the
//     text after it, both with surrounding blanks (space, tab, CR, VT, FF)
//     trimmed, as the Windows profile functions do. No quote handling: a
//     value in quotation marks keeps them;
//   - a line whose first non-blank byte is ';' or '#' is a comment; blank
//     lines, comments and any other line are kept as they are and never
//     match a key;
//   - section and key names match without regard to ASCII letter case;
//   - the first section of a name is the one used (reading and writing),
//     and the first key of a name inside it, as on Windows; keys before the
//     first section belong to none and are never found.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace osa::profile {

// A profile file larger than this, or one holding a NUL byte (a binary or a
// UTF-16 file), is not a profile file to us: reads give the defaults and a
// write refuses to touch it. The controller's files are a few hundred bytes.
inline constexpr std::size_t MaxTextBytes = 1024 * 1024;

// True when `text` may be parsed and edited: at most MaxTextBytes bytes and
// no NUL byte.
bool IsUsableText(std::string_view text);

// True when writing `key`=`value` into `section` keeps the file's meaning:
// names not empty, without CR, LF or NUL and without blanks at either end;
// no ']' in the section name; no '=' in the key, and a key that does not
// start with '[', ';' or '#'; a value without CR, LF or NUL. A value with a
// line break would otherwise become lines (keys, sections) of its own.
bool IsWritableEntry(std::string_view section, std::string_view key, std::string_view value);

// The trimmed value of `key` in `section`, or nothing when the section or
// the key is missing. The view points into `text`.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key);

// The value as GetPrivateProfileStringA gives it: the key's value, or
// `defaultText` when it is missing, cut to `bufferBytes` - 1 bytes (nothing
// for a buffer of 0 bytes).
std::string ReadText(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view defaultText, std::size_t bufferBytes);

// A value read as a signed decimal number: leading blanks, then an optional
// '+' or '-', then digits up to the first other byte. No digits give 0.
// Digits beyond 32 bits wrap around (modulo 2^32), as the Windows reader's
// does, instead of being undefined.
std::int32_t ParseInt(std::string_view value);

// The key's value as ParseInt reads it, or `defaultValue` when the key is
// missing or its value is empty (as GetPrivateProfileIntA does).
std::int32_t ReadInt(std::string_view text, std::string_view section, std::string_view key,
                     std::int32_t defaultValue);

// The line end of `text`: that of its first line ("\r\n" or "\n"), or
// `fallback` when it has no line end at all.
std::string_view LineEndOf(std::string_view text, std::string_view fallback);

// `text` with `key` set to `value` in `section`. Every other byte stays:
//   - an existing key keeps its line up to and including the '=' and the
//     blanks after it, and its line end; only the value after them changes;
//   - a missing key is added after the last line of its section that is
//     neither blank nor a comment (so blank lines and comments in front of
//     the next section stay in front of it);
//   - a missing section is added at the end of the file, after one blank
//     line when the file has text.
// New lines use the file's own line end (LineEndOf), `newFileLineEnd` for a
// file without one. The entry must pass IsWritableEntry.
std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value, std::string_view newFileLineEnd);

} // namespace osa::profile
