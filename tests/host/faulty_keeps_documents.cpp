// A deliberately faulty plug-in: it locks the pilot roster, takes the options and pushes a
// directory, and gives none of them back. The shell's contract check must catch each.
#include "framework/binding.h"
#include "framework/menu_screen.h"

namespace {
class PlainScreen final : public MenuScreen {};
PlainScreen g_screen;
MenuManagerService* g_manager = nullptr;
OptionsService* g_options = nullptr;
ConfigDocument* g_roster = nullptr;
ConfigDocument* g_document = nullptr;
constexpr const char* kTag = "DOCS";
} // namespace

MENU_EXPORT int32_t InitMenuCode(AppShell* shell, MenuScreen** screen) {
    BindShell(kTag, shell);
    shell->AcquireService("MMG", &g_manager);
    shell->AcquireService("OPT", &g_options);
    g_manager->LockPilotRoster(&g_roster);
    g_options->GetOptions(&g_document);
    PushDirectory();
    g_screen.Enter();
    *screen = &g_screen;
    return 0;
}

MENU_EXPORT int32_t ExitMenuCode() {
    g_screen.Leave();
    AppShell* shell = Binding().shell;
    shell->ReleaseService("OPT", &g_options);
    shell->ReleaseService("MMG", &g_manager);
    return UnbindShell(kTag);
}
