#include "framework/paged_menu_screen.h"

#include <cstring>

#include "framework/binding.h"

namespace {

// A capacity is always below this many slots; a growing table therefore stops at 32768.
constexpr int32_t kSlotLimit = 65535;
constexpr int32_t kFirstCapacity = 8;

MenuPage** AllocateSlots(int32_t slots) {
    const size_t bytes = static_cast<size_t>(slots) * sizeof(MenuPage*);
    MenuPage** items = static_cast<MenuPage**>(MemAlloc(bytes));
    if (items != nullptr) {
        std::memset(items, 0, bytes);
    }
    return items;
}

} // namespace

// ---- MenuPage -----------------------------------------------------------------------------

MenuPage::~MenuPage() = default;

int32_t MenuPage::Attach(MenuService* hostMenu, int32_t subMenuId) {
    menu = hostMenu;
    if (hostMenu == nullptr) {
        return 0;
    }
    return hostMenu->GetChild(subMenuId, kKindSubMenu, &page);
}

void MenuPage::Detach() {}

int32_t MenuPage::Show() {
    // A sub-menu the host menu does not have leaves the page without one: nothing to show.
    if (page == nullptr) {
        return 0;
    }
    return page->SetVisible(1);
}

void MenuPage::Hide() {
    if (page != nullptr) {
        page->SetVisible(0);
    }
}

int32_t MenuPage::OnCommand(int32_t) {
    return 0;
}

int32_t MenuPage::Collect() {
    return 0;
}

void MenuPage::Notify(intptr_t) {}

// ---- PageTable ----------------------------------------------------------------------------

PageTable::PageTable() : cursor(-1), count(0), capacity(0), fixed(0), items(nullptr) {}

PageTable::~PageTable() {
    Empty();
}

void PageTable::Empty() {
    cursor = -1;
    count = 0;
    if (items != nullptr) {
        MemFree(items);
        items = nullptr;
    }
    capacity = 0;
}

int PageTable::Push(MenuPage* page) {
    if (items == nullptr) {
        cursor = -1;
        count = 0;
        capacity = 0;
        fixed = 0;
        items = AllocateSlots(kFirstCapacity);
        if (items == nullptr) {
            return 0;
        }
        capacity = kFirstCapacity;
    }
    if (count >= capacity) {
        if (fixed != 0) {
            return 0;
        }
        const int32_t grown = 2 * capacity;
        if (grown >= kSlotLimit) {
            return 0;
        }
        MenuPage** larger = AllocateSlots(grown);
        if (larger == nullptr) {
            return 0;
        }
        std::memcpy(larger, items, static_cast<size_t>(capacity) * sizeof(MenuPage*));
        MemFree(items);
        items = larger;
        capacity = grown;
    }
    items[count] = page;
    cursor = count;
    ++count;
    return 1;
}

int PageTable::Reserve(int32_t slots) {
    fixed = 1; // stays set even when the reservation fails
    if (items == nullptr) {
        cursor = -1;
        count = 0;
        capacity = 0;
    }
    // Fewer slots than pages held would drop pages (and overrun the copy): refuse it.
    if (slots < 1 || slots >= kSlotLimit || slots < count) {
        return 0;
    }
    MenuPage** reserved = AllocateSlots(slots);
    if (reserved == nullptr) {
        return 0;
    }
    if (items != nullptr) {
        const int32_t kept = capacity < slots ? capacity : slots;
        std::memcpy(reserved, items, static_cast<size_t>(kept) * sizeof(MenuPage*));
        MemFree(items);
    }
    items = reserved;
    capacity = slots;
    return 1;
}

// ---- PagedMenuScreen ----------------------------------------------------------------------

PagedMenuScreen::PagedMenuScreen() : pageBase(0), firstSubMenuId(-1), initialPage(-1) {}

PagedMenuScreen::~PagedMenuScreen() {
    pages.Empty();
}

int32_t PagedMenuScreen::Enter() {
    const int32_t result = MenuScreen::Enter();
    pages.Empty();
    pageBase = 0;
    firstSubMenuId = -1;
    initialPage = -1;
    return result;
}

void PagedMenuScreen::Update() {
    // No screen here runs without pages; an empty table has nothing to follow.
    if (pages.count == 0 || menu == nullptr) {
        return;
    }
    const int32_t k = menu->GetCurrentPage() - pageBase;
    if (k < 0 || k >= pages.count) {
        menu->SetCurrentPage(pageBase + pages.cursor);
        return;
    }
    if (k == pages.cursor) {
        return;
    }
    if (pages.cursor >= 0 && pages.cursor < pages.count) {
        pages.items[pages.cursor]->Hide();
    }
    pages.cursor = k;
    pages.items[k]->Show();
    menu->PostResult(6, 0);
}

int32_t PagedMenuScreen::Activate(int32_t flag) {
    if (pages.cursor < 0 || pages.cursor >= pages.count) {
        return -1;
    }
    MenuPage* current = pages.items[pages.cursor];
    return flag != 0 ? current->Show() : current->Collect();
}

int32_t PagedMenuScreen::Command(int32_t code) {
    if (pages.cursor < 0 || pages.cursor >= pages.count) {
        return -1;
    }
    return pages.items[pages.cursor]->OnCommand(code);
}

int PagedMenuScreen::SetPageRange(int32_t firstPageIndex, int32_t lastPageIndex) {
    const int result = pages.Reserve(lastPageIndex - firstPageIndex + 1);
    pageBase = firstPageIndex;
    return result;
}

void PagedMenuScreen::RegisterPage(MenuPage* page, int32_t subMenuId) {
    if (firstSubMenuId == -1) {
        firstSubMenuId = subMenuId;
    }
    if (page != nullptr && pages.count == subMenuId - firstSubMenuId) {
        pages.Push(page); // a page the table cannot take is left out
        return;
    }
    Trace("...failed to register SubMenu %d!", subMenuId);
}

int32_t PagedMenuScreen::AttachPages() {
    for (int32_t i = 0; i < pages.count; ++i) {
        pages.items[i]->Attach(menu, firstSubMenuId + i);
    }
    if (initialPage >= 0 && initialPage < pages.count) {
        if (menu != nullptr) {
            menu->SetCurrentPage(pageBase + initialPage);
        }
        pages.cursor = initialPage;
    } else {
        const int32_t k = menu != nullptr ? menu->GetCurrentPage() - pageBase : -1;
        if (k >= 0 && k < pages.count) {
            pages.cursor = k;
        } else {
            pages.cursor = pages.count > 0 ? 0 : -1;
        }
    }
    if (pages.cursor >= 0 && pages.cursor < pages.count) {
        return pages.items[pages.cursor]->Show();
    }
    return -1;
}

void PagedMenuScreen::DetachPages() {
    if (pages.cursor >= 0 && pages.cursor < pages.count) {
        pages.items[pages.cursor]->Hide();
    }
    for (int32_t i = 0; i < pages.count; ++i) {
        pages.items[i]->Detach();
    }
    pages.Empty();
}
