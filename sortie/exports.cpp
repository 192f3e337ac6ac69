// The two exports the shell binds by name.
#include "framework/binding.h"
#include "sortie/sortie_module.h"

MENU_EXPORT int32_t InitMenuCode(AppShell* shell, MenuScreen** screenHolder) {
    return SortieInit(shell, screenHolder);
}

MENU_EXPORT int32_t ExitMenuCode() {
    return SortieExit();
}
