// The media catalogue: the media types the user picks from, with the cutting
// condition of each. Two sources, chosen once at start-up by the cutter's
// firmware: the twelve built-in media (firmware below 2.0), or the media
// files "<name>.hcf" in the Media folder beside the program (2.0 and later),
// which the user can extend with media of their own.
//
// A media file is a profile (INI) file:
//   [Generic]  Product = "Ostrandel Controller Ver2", Type = "Ostrandel",
//              ListID (sort key, optional), ConfigurationMode 0/1/2
//   [Defaults] Speed 1..10, Force 1..3, Cap Pen/Blue/Yellow/Red  (modes 0, 1)
//   [Modify]   Speed, Force: the user's adjustment               (mode 1)
//   [User]     Speed, Force, Cap Blue/Yellow/Red                 (mode 2)
// The medium's name is the file's name without ".hcf": bytes, UTF-8 on
// Linux and the ANSI code page on Windows, at most 64 of them.
//
// Files reach the core only through Profiles() and Files(); nothing here
// shows a message.
#pragma once
#include <cstdint>
#include <string_view>

#include "common/result_code.h"
#include "controller/settings/media_record.h"
#include "platform/window_host.h"

namespace osa {

// The text of `record.Name`: the bytes up to the first NUL.
std::string_view MediaName(const MediaRecord& record);

// Count 0, HighestListID 0, every slot free (empty name, ListID 0, -1 in
// the other fields).
void ClearMediaCatalogue(MediaCatalogue& catalogue);

// The twelve built-in media (strings 2200 to 2211): ListID and position i,
// condition number i + 1, mode 0, adjusted speed and force left at -1.
void LoadBuiltInMedia(MediaCatalogue& catalogue);

// Reads every valid media file of `mediaDir` in the order the platform lists
// them (at most 128), sorts them by ListID, numbers them 100, 101, ... and
// sets `selectedIndex` to the position of the medium named `selectedName`
// exactly (bytes, with case), or 0. Files that break a rule are skipped
// silently; Count 0 afterwards means no usable media file exists.
void LoadMediaCatalogue(MediaCatalogue& catalogue, int& selectedIndex,
                        std::string_view selectedName, std::string_view mediaDir);

// Selection sort of records 0..Count-1, ascending by ListID taken unsigned;
// a later record replaces the candidate minimum only when its ListID is
// strictly smaller. Media with equal ListIDs therefore end in the order this
// exact procedure gives from the listing order, which a stable sort would
// not reproduce: keep it as it is.
void SortMediaByListID(MediaCatalogue& catalogue);

// The first record named `name` exactly: true and its position, ListID and
// mode; false (outputs untouched) when there is none.
bool FindMediaByName(const MediaCatalogue& catalogue, std::string_view name, int& index,
                     std::uint32_t& listId, std::int32_t& configurationMode);

// Writes a modifiable (1) or user (2) medium to "<mediaDir>/<Name>.hcf", one
// key at a time; other keys of the file stay as they are. Fixed media are
// never written; neither is a record whose name would leave the folder or
// whose cap has no text for its mode. Write failures are ignored: the old
// file (or none) stays.
void SaveMediaFile(const MediaRecord& record, std::string_view mediaDir);
// SaveMediaFile for records 0..Count-1 in order.
void SaveAllMediaFiles(const MediaCatalogue& catalogue, std::string_view mediaDir);

// True when `name` can name a user medium: at most 64 bytes, none of the
// bytes \ / : * ? " < > | nor a control byte (checked byte by byte, so a
// double-byte character whose second byte is one of them is refused too),
// and not a Windows device name such as "CON" or "COM1". The empty name is
// usable: its file is ".hcf".
bool IsUsableMediaName(std::string_view name);

// The values of the Add Media dialog.
struct NewMedium {
    std::string_view name;
    std::int32_t speed = 0;        // 1..10
    std::int32_t force = 0;        // 1..3
    std::int32_t cutterOffset = 0; // 18
    std::int32_t cap = 0;          // 1 Blue, 2 Yellow, 3 Red
};

enum class MediumChange { None, Updated, Appended };

// Adds the user medium `medium` to the catalogue, or updates the user medium
// of that name after asking 2105 (owned by `owner`):
//   0    appended at the end (its file written at once), updated (written at
//        close by SaveAllMediaFiles), or the user chose Cancel (no change);
//        `change` and `position` say which and where
//   253  the catalogue holds 128 media already
//   254  the name is unusable (IsUsableMediaName), names a fixed or
//        modifiable medium, or names a valid media file of the folder that
//        the list does not hold
[[nodiscard]] ResultCode AddUserMedium(MediaCatalogue& catalogue, const NewMedium& medium,
                                       std::string_view mediaDir, Window owner,
                                       MediumChange& change, int& position);

} // namespace osa
