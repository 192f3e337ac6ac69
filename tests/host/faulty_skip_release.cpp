// A deliberately faulty plug-in: it holds the menu manager for its whole life and never gives
// it back. The shell's contract check must catch it.
#include "framework/binding.h"
#include "framework/menu_screen.h"

namespace {
class PlainScreen final : public MenuScreen {};
PlainScreen g_screen;
MenuManagerService* g_manager = nullptr;
constexpr const char* kTag = "FLTY";
} // namespace

MENU_EXPORT int32_t InitMenuCode(AppShell* shell, MenuScreen** screen) {
    BindShell(kTag, shell);
    shell->AcquireService("MMG", &g_manager);
    g_screen.Enter();
    *screen = &g_screen;
    return 0;
}

MENU_EXPORT int32_t ExitMenuCode() {
    g_screen.Leave();
    // The fault: no ReleaseService("MMG", &g_manager).
    return UnbindShell(kTag);
}
