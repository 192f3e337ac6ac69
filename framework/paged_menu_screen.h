// PagedMenuScreen: a MenuScreen whose host menu has sub-pages. Page i of the table is bound to
// sub-menu firstSubMenuId + i and shown by the shell as page pageBase + i; the screen follows the
// shell's current page in Update and forwards Activate and Command to its current page.
#pragma once

#include <cstdint>

#include "framework/menu_screen.h"

class MenuPage : public MemObject {
public:
    virtual ~MenuPage();
    virtual int32_t Attach(MenuService* hostMenu, int32_t subMenuId);
    virtual void Detach();
    virtual int32_t Show();
    virtual void Hide();
    virtual int32_t OnCommand(int32_t code);
    virtual int32_t Collect();
    virtual void Notify(intptr_t value);

    // None until the first Attach; nothing clears them afterwards.
    Page* page = nullptr;
    MenuService* menu = nullptr;
};

// Growable array of page pointers; cursor is the current page. Does not own the pages.
struct PageTable {
    PageTable();
    ~PageTable();
    PageTable(const PageTable&) = delete;
    PageTable& operator=(const PageTable&) = delete;

    int Push(MenuPage* page);
    int Reserve(int32_t slots);
    void Empty(); // cursor -1, count 0, storage freed

    int32_t cursor;
    int32_t count;
    int32_t capacity;
    int32_t fixed;
    MenuPage** items;
};

class PagedMenuScreen : public MenuScreen {
public:
    PagedMenuScreen();
    void Update() override;
    int32_t Activate(int32_t flag) override;
    int32_t Command(int32_t code) override;
    ~PagedMenuScreen() override;
    int32_t Enter() override;

    int SetPageRange(int32_t firstPageIndex, int32_t lastPageIndex);
    void RegisterPage(MenuPage* page, int32_t subMenuId);
    int32_t AttachPages();
    void DetachPages();

    int32_t pageBase;
    int32_t firstSubMenuId;
    int32_t initialPage;
    PageTable pages;
};
