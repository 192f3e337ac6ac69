// SortieScreen: the single-mission screen, a paged screen with the setup page (shell page 2,
// sub-menu 6) and the load page (shell page 3, sub-menu 7). It opens the page it was left on,
// turns the start control into command 100 on the current page and reports the start to the
// shell. It adds no fields of its own.
#pragma once

#include <cstdint>

#include "framework/paged_menu_screen.h"

class SortieScreen : public PagedMenuScreen {
public:
    SortieScreen() = default;
    int32_t HandleInput(const InputEvent* event) override;
    ~SortieScreen() override;
    int32_t Enter() override;
    // Stores the page the screen is left on, detaches both pages (each saves its options) and
    // hands back the menu and the banner labels.
    void Leave() override;
};
