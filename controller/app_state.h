// The one process-wide record of the controller. It lives in static storage,
// is zero at process start and is touched only by the user-interface thread.
// Each subsystem adds the fields it owns; the start-up fields come first.
#pragma once
#include <cstdint>
#include <memory>

#include "common/result_code.h"
#include "controller/settings/media_record.h"
#include "controller/ui/drawing_owners.h"
#include "controller/ui/position_pad.h"
#include "platform/print_spooler.h"
#include "platform/process_launcher.h"

namespace osa {

// 0 talks to a real cutter; 1 and 2 simulate a cutter with firmware 1.00 and
// 2.01: every device operation writes its trace and succeeds without a transfer.
enum DemoMode : std::uint32_t {
    DemoOff = 0,
    DemoFirmware1 = 1,
    DemoFirmware2 = 2,
};

// What the calling application asked for on the command line. Plain record,
// passed by value; the field order is part of its contract.
struct StartupOptions {
    std::uint32_t ownerGiven = 0;
    std::int32_t ownerWindow = 0; // window handle held as a 32-bit integer; 0 = no owner
    std::uint32_t cutMode = 0;
    std::uint32_t noTrim = 0; // the job carries no registration marks
    std::uint32_t orientationGiven = 0;
    std::int32_t orientation = -1;
    std::uint32_t markDistanceGiven = 0;
    double markDistanceX = -1.0; // millimetres
    double markDistanceY = -1.0; // millimetres
    std::int32_t markDistanceXUm = 0;
    std::int32_t markDistanceYUm = 0;
    std::uint32_t markSizeGiven = 0;
    double markSize = -1.0; // millimetres
    ResultCode pendingError = 0;
};

// The Add Media dialog's working record, fields in this order.
struct NewMediaForm {
    char name[68] = {};            // at most 64 bytes and a NUL
    std::int32_t speed = 0;        // 1..10
    std::int32_t force = 0;        // 1..3
    std::int32_t cutterOffset = 0; // always 18
    std::int32_t cap = 0;          // 1 Blue, 2 Yellow, 3 Red
};

inline constexpr int MaxPath = 260;
inline constexpr int TextBufferChars = 512;

struct AppState {
    std::uintptr_t instance = 0; // module instance handle of the program
    std::uint32_t demoMode = DemoOff;
    StartupOptions options{};
    char helpPath[MaxPath] = {};
    char iniPath[MaxPath] = {};
    char mediaDir[MaxPath] = {};
    char companionCommand[MaxPath] = {};

    // Main window and the job.
    std::uintptr_t mainDialog = 0;        // window value of the main dialog while it exists
    std::uintptr_t pageDialog = 0;        // the cut settings page
    std::uintptr_t calibrationDialog = 0; // the Calibration dialog while it is open
    char FirmwareVersion[TextBufferChars + 1] = {};
    std::int32_t FirmwareV2 = 0;
    std::int32_t MediaIndex = 0;
    std::int32_t AdjustSettings = 0;
    std::int32_t CurrentCondition = 0;
    std::int32_t CurrentSpeed = 0;
    std::int32_t CurrentPressure = 0;
    std::int32_t CurrentOffset = 0;
    std::int32_t CapColour = 0;
    std::int32_t RollAction = 0;
    std::int32_t ThickMediaMode = 0;
    std::int32_t Direction = 0;
    std::int32_t MarksOn = 0;
    std::int32_t MarkDistX = 0; // micrometres
    std::int32_t MarkDistY = 0; // micrometres
    std::int32_t AutoSearchMarks = 0;
    std::int32_t Unit = 0; // 0 millimetres, 1 inches
    std::int32_t CalibrationOpen = 0;
    std::int32_t GuideShown = 0;
    // The guide's choice as the settings file held it at start-up; written
    // back unchanged by a run that had no guide in use.
    std::int32_t StoredGuideMenu = 1;
    std::int32_t CurrentStep = 0;

    // The main window's size with the guide panel in view, and the panel's
    // frame (control 5011), both in screen coordinates, taken at start-up.
    Rect MainWindowRect{};
    Rect GuidePanelRect{};
    // Made at start-up, deleted when the main window is destroyed.
    BrushOwner MainBackgroundBrush{};
    BrushOwner MessageAreaBrush{};
    FontOwner TitleFont{};
    FontOwner StepFont{};
    FontOwner MessageFont{};

    // The blade position pad and its hot spots on the page.
    PositionPad Pad{};
    PadRects PadAreas{};

    // The small dialogs while they are open.
    std::uintptr_t mediaLoadingDialog = 0;
    std::uintptr_t aboutDialog = 0;
    std::uintptr_t addMediaDialog = 0;
    NewMediaForm NewMedia{};

    // Calibration values read from the cutter.
    std::int32_t SensorCorrectionX = 0;
    std::int32_t SensorCorrectionY = 0;
    std::int32_t FeedAdjustment = 0;

    // The media catalogue of the run.
    MediaCatalogue Media{};

    // The device link: the printers of the cutter family, found once when
    // the main window opens (the transfer handles and events belong to the
    // platform's cutter port).
    std::unique_ptr<PrinterNameSlot[]> cutterPrinters;
    std::int32_t cutterPrinterCount = 0;

    // The companion program (animated instructions).
    ProcessRecord companionProcess{};
    std::uintptr_t companionWindow = 0;
};

// The process's record. Tests reset it with ResetAppState().
AppState& App();
void ResetAppState();

} // namespace osa
