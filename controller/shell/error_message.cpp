#include "controller/shell/error_message.h"

#include <cstdio>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "platform/services.h"

namespace osa {

namespace {

enum class Presentation { Exclamation, CommBox, Stop };

Presentation PresentationOf(ResultCode code) {
    if (code == rc::AlreadyActive || (code >= 200 && code <= 210) || (code >= 250 && code <= 254))
        return Presentation::Exclamation;
    if (code == rc::CannotCommunicate || code == rc::WrongModel) return Presentation::CommBox;
    return Presentation::Stop;
}

// Strings are loaded into 512-byte buffers; a longer one is cut there.
std::string LoadText(int id) {
    std::string_view text = res::LoadString(id);
    return std::string(text.substr(0, TextBufferChars - 1));
}

std::string JoinWithCode(std::string_view text, ResultCode code) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, " [code = %d]", static_cast<int>(code));
    return std::string(text) + suffix;
}

} // namespace

std::string FormatErrorText(ResultCode code) {
    return JoinWithCode(LoadText(static_cast<int>(code)), code);
}

std::intptr_t ShowErrorMessage(Window owner, ResultCode code) {
    const std::string caption = LoadText(ids::StrCaption);
    switch (PresentationOf(code)) {
    case Presentation::Exclamation:
        return Windows().MessageBox(owner, FormatErrorText(code), caption,
                                    mb::Ok | mb::IconExclamation);
    case Presentation::CommBox:
        Windows().Beep();
        return Windows().DialogBox(ids::DlgCommError, Window{App().mainDialog}, CommErrorDialogProc,
                                   static_cast<std::intptr_t>(code));
    case Presentation::Stop:
        break;
    }
    return Windows().MessageBox(owner, FormatErrorText(code), caption, mb::Ok | mb::IconHand);
}

std::intptr_t CommErrorDialogProc(Window dialog, const DialogMessage& message) {
    switch (message.msg) {
    case Msg::InitDialog: {
        // 57 and 62 share one text; the number tells them apart.
        auto code = static_cast<ResultCode>(message.param);
        Windows().SetItemText(dialog, ids::CommErrorText,
                              JoinWithCode(LoadText(rc::CannotCommunicate), code));
        return 0; // no default focus
    }
    case Msg::Command:
        if (message.id == mb::IdOk) Windows().EndDialog(dialog, mb::IdOk);
        return 0;
    case Msg::SysCommand:
        if ((message.code & 0xFFF0) == sc::Close) Windows().EndDialog(dialog, mb::IdOk);
        return 0;
    default:
        return 0;
    }
}

} // namespace osa
