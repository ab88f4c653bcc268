// The string table: every text the controller shows, by number. A result
// code is also the number of its message (0 to 254); the presentation texts
// start at 2000. The table is kept sorted by number so that a look-up is a
// binary search; a static_assert below refuses an unsorted or doubled entry.
#include <algorithm>
#include <iterator>

#include "controller/res/resources.h"

namespace osa::res {

namespace {

// Texts that several numbers share: the number tells the support staff which
// exchange failed, the user sees the same words.
constexpr std::string_view UsbPortBusy =
    "The USB port is currently in use.\nPlease wait ten seconds, and then try again.";
constexpr std::string_view CannotCommunicate =
    "Cannot communicate with Ostrandel.\nCheck that the USB cable is connected correctly, "
    "press Ostrandel's standby switch, and then confirm that the LED is lit.";
constexpr std::string_view CommunicationError =
    "Ostrandel communication error.\nPress the standby switch twice.";

constexpr StringEntry Table[] = {
    {0, "Normal"},

    // Link and start-up.
    {50, "General Error"},
    {51, "Ostrandel Controller is already active.\nPlease shut the controller down and perform "
         "the operation once again."},
    {52, "VORNUSBP.DLL could not be found, and so Ostrandel Controller could not be started.\n"
         "Please reboot your computer or re-install Ostrandel Controller."},
    {53, "The VORNUSBP.DLL functions could not be found, and so Ostrandel Controller could not "
         "be started.\nPlease reboot your computer or re-install Ostrandel Controller."},
    {54, UsbPortBusy},
    {55, UsbPortBusy},
    {56, UsbPortBusy},
    {57, CannotCommunicate},
    {58, UsbPortBusy},
    {59, UsbPortBusy},
    {60, UsbPortBusy},
    {61, "The media file list could not be found, and so Ostrandel Controller could not be "
         "started.\nPlease re-install Ostrandel Controller."},
    {62, CannotCommunicate},

    // Queries that failed.
    {100, CommunicationError},
    {101, CommunicationError},
    {102, CommunicationError},
    {103, CommunicationError},
    {104, CommunicationError},

    // Settings that failed (163 and 166 are queries too).
    {150, CommunicationError},
    {151, CommunicationError},
    {152, CommunicationError},
    {153, CommunicationError},
    {154, CommunicationError},
    {155, CommunicationError},
    {156, CommunicationError},
    {157, CommunicationError},
    {158, CommunicationError},
    {159, CommunicationError},
    {160, CommunicationError},
    {161, CommunicationError},
    {162, CommunicationError},
    {163, CommunicationError},
    {164, CommunicationError},
    {165, CommunicationError},
    {166, CommunicationError},

    // Values the user typed, and what the cutter made of them.
    {200, "The value specified for the horizontal distance between the registration marks exceeds "
          "the specifiable range.\n"
          "Please specify a distance in the range 0 to 970.0 mm."},
    {201, "The value specified for the horizontal distance between the registration marks exceeds "
          "the specifiable range.\n"
          "Please specify a distance in the range 0 to 38.180 inches."},
    {202, "The value specified for the horizontal distance between the registration marks exceeds "
          "the specifiable range.\n"
          "Please specify a distance in the range 0 to 192.0 mm."},
    {203, "The value specified for the horizontal distance between the registration marks exceeds "
          "the specifiable range.\n"
          "Please specify a distance in the range 0 to 7.557 inches."},
    {204,
     "The value specified for the vertical distance between the registration marks exceeds the "
     "specifiable range.\n"
     "Please specify a distance in the range 0 to 192.0 mm."},
    {205,
     "The value specified for the vertical distance between the registration marks exceeds the "
     "specifiable range.\n"
     "Please specify a distance in the range 0 to 7.557 inches."},
    {206,
     "The value specified for the vertical distance between the registration marks exceeds the "
     "specifiable range.\n"
     "Please specify a distance in the range 0 to 970.0 mm."},
    {207,
     "The value specified for the vertical distance between the registration marks exceeds the "
     "specifiable range.\n"
     "Please specify a distance in the range 0 to 38.180 inches."},
    {208, "Registration mark reading failure. Please reload the medium."},
    {209, "The media feed direction value exceeds the specifiable range.\nPlease specify a value "
          "in the range -2.00 to +2.00%."},
    {210, "Auto registration mark reading is failed.\nReload the media, and click \"Cut...\" "
          "button again.\nIf it does not work correctly, unset the \"Search Registration Mark\" "
          "check box, and move the blade position to Green."},
    {211, "Startup Animated Instructions Error !!!"},

    // Options of the calling application refused; Add Media refused.
    {250, "The media loading direction has not been specified correctly.\nPlease check the "
          "\"Orientation\" setting in your application program."},
    {251, "The distances between the registration marks have not been specified correctly.\n"
          "Please check the \"Distance Between Registration Marks\" settings in your application "
          "program."},
    {252, "The registration mark size is not set correctly.\nPlease check the size in your "
          "application program."},
    {253, "The number of media type registration exceeds limitation."},
    {254, "Specified media type name cannot be used.\nPlease specify other name."},

    // Captions and the version line.
    {2000, "Ostrandel Controller"},
    {2001, "Calibration"},
    {2002, "Add Media"},
    {2003, "Check"},
    {2050, "Ostrandel Ver."},
    {2053, "Ostrandel Advanced Controller Version 2.01"},
    {2055, "1.00 Demo Mode"},
    {2056, "2.01 Demo Mode"},

    // Questions of the confirmation box.
    {2100, "Ostrandel will now make a small cutting test at the current cutter position.\n"
           "Proceed?"},
    {2101, "Please use the Position key to move the pen tip within the readable range (the green "
           "section of the drawing)."},
    {2102, "Please use the Position key to move the pen tip within the readable range (the green "
           "section of the drawing)."},
    {2103, "Cannot read the registration marks.\nThe print and cut positions may not line up.\n"
           "Cut anyway?"},
    {2104, "Please read the instruction manual when you use the adjustment function.\nIf "
           "incorrect adjustment is used, the cutting position or cutting size may change."},
    {2105, "Specified media is already existing.\nUpdate?"},

    // Names of the built-in media, in table order.
    {2200, "Card without Craft Paper Backing"},
    {2201, "Card with Craft Paper Backing"},
    {2202, "Vinyl Film"},
    {2203, "Paper Labels"},
    {2204, "Film Labels"},
    {2205, "Magnetic Sheet"},
    {2206, "Metallic Labels, Gold"},
    {2207, "Metallic Labels, Silver"},
    {2208, "Glow-in-the-dark Labels"},
    {2209, "Thick Media"},
    {2210, "Thin Media"},
    {2211, "Pen"},

    // The guide: step titles, then step messages.
    {2300, "Step1:Media Type"},
    {2301, "Step2:Blade adjustment cap"},
    {2302, "Step3:Design Orientation"},
    {2303, "Step4:Media loading"},
    {2304, "Step5:Registration Marks"},
    {2305, "Step6:Start cutting"},
    {2310, "Select the cutting media type in \"Media Type\".\n\nNormally, set \"Adjust Settings\" "
           "to OFF."},
    {2311, "Mount or replace the blade adjustment cap.\n\nThe blade holder must be used with the "
           "blade adjustment cap.\nMount the blade adjustment cap to the top of blade holder.\n"
           "The cap is screw connection.\nAfter mounting the cap, set the blade holder on "
           "Ostrandel."},
    {2312, "Specify the orientation of the design against the media.\n\nSelect the design "
           "orientation from \"Landscape\" or \"Portrait\" according to the created data.\nAfter "
           "changing the setting, displayed figure is switched."},
    {2313, "Load the media on Ostrandel.\n\nCheck the media orientation according to displayed "
           "figure.\nIf \"Feed this side first.\" is printed on the media, follow the message."},
    {2314, "If the \"Search Registration Mark\" is used: Confirm that the check box is checked, "
           "then proceed next step.\n\nIf the \"Search Registration Mark\" is not used: "
           "Registration mark is read manually.\nMove the blade to the registration mark position "
           "(Green mark of above figure) using \"Blade Position\" buttons, and click "
           "\"Registration mark reading\" button."},
    {2315, "Specify the cutting position.\n\nMove the blade to position where you need to cut "
           "using \"Blade Position\" buttons, and click \"Set Origin\" button."},
    {2316, "Click \"Cut\" button to start searching and read the registration marks.\n\nIf all "
           "registration marks are read correctly, the cutting confirmation window is displayed.\n"
           "If click \"OK\", then Ostrandel starts cutting."},
    {2317, "If \"Cut\" button is clicked, the cutting confirmation window is displayed.\n\nIf "
           "click \"OK\", then Ostrandel starts cutting."},

    // Cap colours of the Add Media list.
    {2321, "Blue"},
    {2322, "Yellow"},
    {2323, "Red"},

    // Labels of the page and the dialogs.
    {2400, "Thickness:"},
    {2401, "Thickness:"}, // the caption for the thin and magnetic built-in media
    {2402, "mm"},         // 2402 + unit: the unit labels beside the distances
    {2403, "inch"},
    {2404, "X:"},
    {2405, "Y:"},
    {2406, "New Media"},
    {2409, "Blade adjustment cap : Mount the Red cap on the blade holder."},
    {2410, "Blade adjustment cap : Mount the Yellow cap on the blade holder."},
    {2411, "Blade adjustment cap : Mount the Blue cap on the blade holder."},
    {2412, "Set the ball-point pen."},

    // Media loading dialog, scale end, guide toggle and the stand-alone button.
    {2500, "Load the media on Ostrandel.\n\nCheck the loading direction using displayed figure, "
           "and load the media.\nIf \"Feed this side first.\" is printed on the media, follow the "
           "message."},
    {2501, "3"},
    {2502, "Hide the operation guide."},
    {2503, "Show the operation guide."},
    {2504, "Close"},
};

constexpr bool SortedAndUnique() {
    for (std::size_t i = 1; i < std::size(Table); ++i)
        if (Table[i - 1].id >= Table[i].id) return false;
    return true;
}
static_assert(SortedAndUnique(), "the string table must be sorted by number without repeats");

const StringEntry* Find(int id) {
    const auto* end = std::end(Table);
    const auto* it = std::lower_bound(std::begin(Table), end, id,
                                      [](const StringEntry& e, int key) { return e.id < key; });
    return it != end && it->id == id ? it : nullptr;
}

} // namespace

std::string_view LoadString(int id) {
    const StringEntry* entry = Find(id);
    return entry ? entry->text : std::string_view{};
}

bool HasString(int id) {
    return Find(id) != nullptr;
}

std::span<const StringEntry> AllStrings() {
    return Table;
}

} // namespace osa::res
