#include "controller/ui/confirm_box.h"

#include <string>
#include <string_view>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "platform/services.h"

namespace osa {

namespace {

// Strings are loaded into 512-byte buffers; a longer one is cut there.
std::string LoadText(int id) {
    std::string_view text = res::LoadString(id);
    return std::string(text.substr(0, TextBufferChars - 1));
}

unsigned IconFor(int stringId) {
    // 2104 is a notice before the Calibration dialog rather than a question.
    return stringId == confirm::Calibration ? mb::IconAsterisk : mb::IconQuestion;
}

} // namespace

bool ConfirmBox(Window owner, int stringId) {
    const int answer = Windows().MessageBox(owner, LoadText(stringId), LoadText(ids::StrCheck),
                                            mb::OkCancel | IconFor(stringId));
    return answer == mb::IdOk;
}

} // namespace osa
