#include "controller/app_state.h"

namespace osa {

namespace {
AppState g_app{};
} // namespace

AppState& App() {
    return g_app;
}

void ResetAppState() {
    g_app = AppState{};
}

} // namespace osa
