// A deliberately faulty plug-in: it allocates a buffer under its module tag and never frees
// it. The shell's memory accounting must report the block at ReleaseTag.
#include "framework/binding.h"
#include "framework/menu_screen.h"

namespace {
class PlainScreen final : public MenuScreen {};
PlainScreen g_screen;
void* g_forgotten = nullptr;
constexpr const char* kTag = "LEAK";
} // namespace

MENU_EXPORT int32_t InitMenuCode(AppShell* shell, MenuScreen** screen) {
    BindShell(kTag, shell);
    g_forgotten = MemAlloc(48); // the fault: never freed
    g_screen.Enter();
    *screen = &g_screen;
    return 0;
}

MENU_EXPORT int32_t ExitMenuCode() {
    g_screen.Leave();
    return UnbindShell(kTag);
}
