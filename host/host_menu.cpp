#include "host/host_menu.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "core/text.h"

namespace host {

namespace {

bool StartsWithIgnoringCase(const std::string& text, const char* prefix, size_t* rest) {
    const size_t n = std::strlen(prefix);
    if (text.size() < n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    *rest = n;
    return true;
}

// Reads a decimal number at text[*pos]; 0 when there is none or it is out of range.
bool ReadNumber(const std::string& text, size_t* pos, int32_t* out) {
    size_t i = *pos;
    long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i] - '0');
        if (value > 1000000) {
            return false;
        }
        ++i;
    }
    if (i == *pos) {
        return false;
    }
    *pos = i;
    *out = static_cast<int32_t>(value);
    return true;
}

bool ReadFlag(const IniSection& s, const char* key, int32_t fallback, int32_t* out,
              const std::string& file, std::string* error) {
    const IniEntry* e = s.Find(key);
    if (e == nullptr) {
        *out = fallback;
        return true;
    }
    if (e->text == "0" || e->text == "1") {
        *out = e->text == "1" ? 1 : 0;
        return true;
    }
    *error =
        Format("%s:%d: %s must be 0 or 1, not \"%s\"", file.c_str(), e->line, key, e->text.c_str());
    return false;
}

bool ReadInt(const IniSection& s, const char* key, int32_t fallback, int32_t* out,
             const std::string& file, std::string* error) {
    const IniEntry* e = s.Find(key);
    if (e == nullptr) {
        *out = fallback;
        return true;
    }
    size_t pos = 0;
    int32_t value = 0;
    if (!ReadNumber(e->text, &pos, &value) || pos != e->text.size()) {
        *error = Format("%s:%d: %s must be a number from 0 to 1000000, not \"%s\"", file.c_str(),
                        e->line, key, e->text.c_str());
        return false;
    }
    *out = value;
    return true;
}

std::string Caption(const IniSection& s) {
    const IniEntry* e = s.Find("Text");
    return e != nullptr ? e->text : std::string();
}

} // namespace

// ---- HostControl ---------------------------------------------------------------------------

HostControl::HostControl(Journal* journal, int32_t kindValue, int32_t idValue, std::string nameText)
    : kind(kindValue), id(idValue), name(std::move(nameText)), journal_(journal) {}

int32_t HostControl::SetVisible(int32_t flag) {
    visible = flag != 0 ? 1 : 0;
    journal_->Record(Format("MNU %s SetVisible(%d)", name.c_str(), flag));
    return 1;
}

void HostControl::SetText(const char* value) {
    text = Bounded(value);
    journal_->Record("MNU " + name + " SetText(" + Quote(value) + ")");
}

void HostControl::SetEnabled(int32_t flag) {
    enabled = flag != 0 ? 1 : 0;
    journal_->Record(Format("MNU %s SetEnabled(%d)", name.c_str(), flag));
}

void HostControl::Clear() {
    items.clear();
    selected = -1;
    journal_->Record("MNU " + name + " Clear");
}

void HostControl::AddItem(const char* value) {
    items.push_back(Item{Bounded(value), 0});
    journal_->Record("MNU " + name + " AddItem(" + Quote(value) + ")");
}

void HostControl::AddItemWithData(const char* value, int32_t data) {
    items.push_back(Item{Bounded(value), data});
    journal_->Record(
        Format("MNU %s AddItemWithData(%s, %d)", name.c_str(), Quote(value).c_str(), data));
}

int32_t HostControl::FindItem(const char* value, int32_t start, int32_t flags) {
    const std::string wanted = Bounded(value);
    int32_t found = -1;
    for (size_t row = start < 0 ? 0 : static_cast<size_t>(start) + 1; row < items.size(); ++row) {
        if (TextEquals(items[row].text.c_str(), wanted.c_str(), 0) != 0 ||
            (items[row].text.empty() && wanted.empty())) {
            found = static_cast<int32_t>(row);
            break;
        }
    }
    journal_->Record(Format("MNU %s FindItem(%s, %d, %d) -> %d", name.c_str(), Quote(value).c_str(),
                            start, flags, found));
    return found;
}

void HostControl::SelectItem(int32_t row) {
    if (row < -1 || row >= static_cast<int32_t>(items.size())) {
        journal_->Record(Format("MNU %s SelectItem(%d): no such row (%zu rows), nothing selected",
                                name.c_str(), row, items.size()));
        selected = -1;
        return;
    }
    selected = row;
    journal_->Record(Format("MNU %s SelectItem(%d)", name.c_str(), row));
}

int32_t HostControl::GetSelectedIndex() {
    journal_->Record(Format("MNU %s GetSelectedIndex -> %d", name.c_str(), selected));
    return selected;
}

void HostControl::GetSelectedText(char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0) {
        journal_->Breach(Format("MNU %s GetSelectedText without a buffer", name.c_str()));
        return;
    }
    const char* value = selected >= 0 ? items[static_cast<size_t>(selected)].text.c_str() : "";
    CopyText(buffer, value, static_cast<size_t>(size));
    journal_->Record(Format("MNU %s GetSelectedText -> %s", name.c_str(), Quote(buffer).c_str()));
}

// ---- HostPage ------------------------------------------------------------------------------

HostPage::HostPage(Journal* journal, int32_t idValue) : id(idValue), journal_(journal) {}

int32_t HostPage::SetVisible(int32_t flag) {
    visible = flag != 0 ? 1 : 0;
    journal_->Record(Format("MNU SubMenu %d SetVisible(%d)", id, flag));
    return 1;
}

HostControl* HostPage::Find(int32_t index, int32_t kind) {
    for (auto& c : controls) {
        if (c->id == index && c->kind == kind) {
            return c.get();
        }
    }
    return nullptr;
}

int32_t HostPage::GetControl(int32_t index, int32_t kind, Control** holder) {
    HostControl* c = Find(index, kind);
    if (holder != nullptr) {
        *holder = c;
    }
    journal_->Record(Format("MNU SubMenu %d GetControl(%d, %d) -> %s", id, index, kind,
                            c != nullptr ? c->name.c_str() : "none"));
    return c != nullptr ? 1 : 0;
}

// ---- HostMenu ------------------------------------------------------------------------------

HostMenu::HostMenu(Journal* journal, ConfigDocument* document)
    : journal_(journal), document_(document) {}

int HostMenu::Build(const IniFile& file, std::string* error) {
    const std::string& path = file.path;
    struct PendingControl {
        const IniSection* section;
        int32_t subMenu;
        int32_t kind;
        int32_t index;
    };
    std::vector<PendingControl> pending;
    for (const IniSection& s : file.sections) {
        size_t pos = 0;
        int32_t number = 0;
        if (StartsWithIgnoringCase(s.name, "Menu", &pos) && pos == s.name.size()) {
            title = s.Find("Title") != nullptr ? s.Find("Title")->text : std::string();
            if (!ReadInt(s, "Page", 0, &currentPage, path, error)) {
                return 0;
            }
            continue;
        }
        int32_t kind = 0;
        if (StartsWithIgnoringCase(s.name, "SubMenu", &pos)) {
            kind = kKindSubMenu;
        } else if (StartsWithIgnoringCase(s.name, "Button", &pos)) {
            kind = kKindButton;
        } else if (StartsWithIgnoringCase(s.name, "Start", &pos)) {
            kind = kKindStartControl;
        } else {
            continue; // a section of the plug-ins
        }
        if (!ReadNumber(s.name, &pos, &number) || number <= 0) {
            *error = Format("%s:%d: section [%s]: a control section needs a positive id after "
                            "its kind, e.g. [Button2], [Start5], [SubMenu6], [SubMenu6.List1]",
                            path.c_str(), s.line, s.name.c_str());
            return 0;
        }
        if (pos != s.name.size()) {
            size_t rest = pos;
            int32_t childKind = 0;
            const std::string tail = s.name.substr(pos);
            if (kind == kKindSubMenu && StartsWithIgnoringCase(tail, ".List", &rest)) {
                childKind = kKindList;
            } else if (kind == kKindSubMenu && StartsWithIgnoringCase(tail, ".Text", &rest)) {
                childKind = kKindText;
            }
            int32_t index = 0;
            if (childKind == 0 || !ReadNumber(tail, &rest, &index) || rest != tail.size()) {
                *error = Format("%s:%d: section [%s]: expected [SubMenu<id>.List<n>] or "
                                "[SubMenu<id>.Text<n>]",
                                path.c_str(), s.line, s.name.c_str());
                return 0;
            }
            pending.push_back(PendingControl{&s, number, childKind, index});
            continue;
        }
        if (kind == kKindSubMenu) {
            if (SubMenu(number) != nullptr) {
                *error =
                    Format("%s:%d: sub-menu %d is defined twice", path.c_str(), s.line, number);
                return 0;
            }
            auto page = std::make_unique<HostPage>(journal_, number);
            page->caption = Caption(s);
            if (!ReadInt(s, "Page", 0, &page->pageIndex, path, error)) {
                return 0;
            }
            pages.push_back(std::move(page));
        } else {
            if (Button(number) != nullptr) {
                *error = Format("%s:%d: control id %d is used twice (a start control is also a "
                                "button)",
                                path.c_str(), s.line, number);
                return 0;
            }
            auto button = std::make_unique<HostControl>(
                journal_, kind, number,
                Format("%s %d", kind == kKindButton ? "Button" : "Start", number));
            button->caption = Caption(s);
            int32_t hidden = 0;
            if (!ReadFlag(s, "Enabled", 1, &button->enabled, path, error) ||
                !ReadFlag(s, "Hidden", 0, &hidden, path, error)) {
                return 0;
            }
            button->visible = hidden != 0 ? 0 : 1;
            if (!ReadInt(s, "Page", -1, &button->showsPage, path, error)) {
                return 0;
            }
            buttons.push_back(std::move(button));
        }
    }
    for (const PendingControl& p : pending) {
        HostPage* page = SubMenu(p.subMenu);
        if (page == nullptr) {
            *error = Format("%s:%d: section [%s] belongs to sub-menu %d, which has no "
                            "[SubMenu%d] section",
                            path.c_str(), p.section->line, p.section->name.c_str(), p.subMenu,
                            p.subMenu);
            return 0;
        }
        if (page->Find(p.index, p.kind) != nullptr) {
            *error = Format("%s:%d: section [%s] is a second control with that index and kind",
                            path.c_str(), p.section->line, p.section->name.c_str());
            return 0;
        }
        auto c = std::make_unique<HostControl>(
            journal_, p.kind, p.index,
            Format("SubMenu %d %s %d", p.subMenu, p.kind == kKindList ? "List" : "Text", p.index));
        c->caption = Caption(*p.section);
        c->command = p.index;
        if (p.kind == kKindList &&
            !ReadInt(*p.section, "Command", p.index, &c->command, path, error)) {
            return 0;
        }
        page->controls.push_back(std::move(c));
    }
    return 1;
}

HostControl* HostMenu::Button(int32_t id) {
    for (auto& b : buttons) {
        if (b->id == id) {
            return b.get();
        }
    }
    return nullptr;
}

HostPage* HostMenu::SubMenu(int32_t id) {
    for (auto& p : pages) {
        if (p->id == id) {
            return p.get();
        }
    }
    return nullptr;
}

HostPage* HostMenu::SubMenuShowingPage(int32_t pageIndex) {
    for (auto& p : pages) {
        if (p->pageIndex == pageIndex) {
            return p.get();
        }
    }
    return nullptr;
}

int32_t HostMenu::GetActiveControlId() {
    journal_->Record(Format("MNU GetActiveControlId -> %d", activeControl));
    return activeControl;
}

int32_t HostMenu::GetCurrentPage() {
    journal_->Record(Format("MNU GetCurrentPage -> %d", currentPage));
    return currentPage;
}

void HostMenu::SetCurrentPage(int32_t index) {
    currentPage = index;
    journal_->Record(
        Format("MNU SetCurrentPage(%d)%s", index,
               SubMenuShowingPage(index) == nullptr ? " (no sub-menu shows that page)" : ""));
}

int32_t HostMenu::PostResult(int32_t kind, int32_t value) {
    posted.emplace_back(kind, value);
    journal_->Record(Format("MNU PostResult(%d, %d)", kind, value));
    return 1;
}

int32_t HostMenu::SetMissionObject(int32_t value) {
    missionObject = value;
    missionObjectSet = 1;
    journal_->Record(Format("MNU SetMissionObject(%d)", value));
    return 1;
}

void HostMenu::NotifyEnter() {
    entries++;
    journal_->Record("MNU NotifyEnter");
}

int32_t HostMenu::GetChild(int32_t id, int32_t kind, void* holder) {
    void* found = nullptr;
    std::string what = "none";
    if (kind == kKindSubMenu) {
        HostPage* page = SubMenu(id);
        if (page != nullptr) {
            found = static_cast<Page*>(page);
            what = Format("SubMenu %d", id);
        }
    } else {
        HostControl* c = Button(id);
        // A start control is also a button; a plain button is not a start control.
        if (c != nullptr && (kind == kKindButton || c->kind == kind)) {
            found = static_cast<Control*>(c);
            what = c->name;
        }
    }
    if (holder != nullptr) {
        if (kind == kKindSubMenu) {
            *static_cast<Page**>(holder) = static_cast<Page*>(found);
        } else {
            *static_cast<Control**>(holder) = static_cast<Control*>(found);
        }
    }
    journal_->Record(Format("MNU GetChild(%d, %d) -> %s", id, kind, what.c_str()));
    return found != nullptr ? 1 : 0;
}

ConfigDocument* HostMenu::GetMenuDocument(int32_t flags) {
    journal_->Record(Format("MNU GetMenuDocument(%d) -> %s", flags,
                            document_ != nullptr ? document_->fileName : "none"));
    return document_;
}

} // namespace host
