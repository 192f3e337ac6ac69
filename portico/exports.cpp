// The main-screen plug-in's two exports and its one screen object.
#include "framework/binding.h"
#include "portico/portico_screen.h"

namespace {
constexpr const char* kModuleTag = "MAIN";
PorticoScreen g_screen; // static: construction allocates nothing and calls no service
} // namespace

MENU_EXPORT int32_t InitMenuCode(AppShell* shell, MenuScreen** screen) {
    if (shell == nullptr) {
        // Nothing to bind to: hand out no screen rather than one that would crash when driven.
        if (screen != nullptr) {
            *screen = nullptr;
        }
        return 0;
    }
    BindShell(kModuleTag, shell);
    shell->AcquireService("MMG", &Portico().MMG);
    g_screen.Enter();
    if (screen != nullptr) {
        *screen = &g_screen;
    }
    return 0;
}

MENU_EXPORT int32_t ExitMenuCode() {
    AppShell* shell = Binding().shell;
    if (shell == nullptr) {
        return 0; // never initialised
    }
    g_screen.Leave();
    shell->ReleaseService("MMG", &Portico().MMG);
    return UnbindShell(kModuleTag);
}
