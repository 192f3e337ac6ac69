#include "framework/menu_screen.h"

#include <cstring>

#include "core/text.h"
#include "framework/binding.h"

namespace {

constexpr uint8_t kLowFlagBits = 0x0F;

// The banner layout the display service expects; only these values are ever passed.
constexpr int32_t kCornerInset = 3;
constexpr int32_t kBottomInset = 2;
constexpr int32_t kVersionFontSize = 14;
constexpr int32_t kVersionStyle = 2;
constexpr int32_t kVersionAlignment = 64 + 4; // bottom-right corner
constexpr int32_t kNoticeFontSize = 12;
constexpr int32_t kNoticeStyle = 0;
constexpr int32_t kNoticeAlignment = 64 + 2; // bottom-left corner

AppShell* Shell() {
    return Binding().shell;
}

} // namespace

// ---- BannerLabels ---------------------------------------------------------------------------

BannerLabels::BannerLabels() : versionLabel(nullptr), noticeLabel(nullptr) {
    AppShell* shell = Shell();
    if (shell == nullptr) {
        return;
    }
    DisplayService* display = nullptr;
    shell->AcquireService("DSP", &display);
    // A shell without a display service gets no labels rather than a crash.
    if (display != nullptr) {
        LabelDescription description;
        std::memset(&description, 0, sizeof description);
        int32_t width = 0;
        int32_t height = 0;
        display->GetScreenSize(&width, &height);

        description.text = VersionText();
        description.x = width - kCornerInset;
        description.y = height - kBottomInset;
        CopyText(description.fontFace, "Arial", sizeof description.fontFace);
        description.fontSize = kVersionFontSize;
        description.style = kVersionStyle;
        description.alignment = kVersionAlignment;
        const uint8_t grey[4] = {128, 128, 128, 0};
        std::memcpy(description.colour1, grey, sizeof grey);
        description.value1 = 1;
        description.value0 = 0;
        description.value256 = 256;
        const uint8_t shadow[4] = {32, 32, 32, 0};
        std::memcpy(description.colour2, shadow, sizeof shadow);
        description.value1b = 1;
        versionLabel = display->CreateTextLabel(&description);
        if (versionLabel != nullptr) {
            versionLabel->SetVisible(0);
        }

        description.text = NoticeText();
        description.x = kCornerInset;
        description.y = height - kBottomInset;
        description.fontSize = kNoticeFontSize;
        description.style = kNoticeStyle;
        description.alignment = kNoticeAlignment;
        noticeLabel = display->CreateTextLabel(&description);
        if (noticeLabel != nullptr) {
            noticeLabel->SetVisible(0);
        }
    }
    shell->ReleaseService("DSP", &display);
}

void BannerLabels::DestroyLabels() {
    AppShell* shell = Shell();
    if (shell == nullptr) {
        return;
    }
    DisplayService* display = nullptr;
    shell->AcquireService("DSP", &display);
    if (display != nullptr) {
        if (noticeLabel != nullptr) {
            display->DestroyTextLabel(&noticeLabel);
            noticeLabel = nullptr;
        }
        if (versionLabel != nullptr) {
            display->DestroyTextLabel(&versionLabel);
            versionLabel = nullptr;
        }
    }
    shell->ReleaseService("DSP", &display);
}

void BannerLabels::ShowVersion(int32_t flag) {
    if (versionLabel != nullptr) {
        versionLabel->SetVisible(flag);
    }
}

void BannerLabels::ShowNotice(int32_t flag) {
    if (noticeLabel != nullptr) {
        noticeLabel->SetVisible(flag);
    }
}

// ---- MenuScreen -----------------------------------------------------------------------------

MenuScreen::MenuScreen() : menu(nullptr), labels(nullptr) {}

MenuScreen::~MenuScreen() = default; // the menu and the labels go back in Leave only

void MenuScreen::Update() {}

int32_t MenuScreen::Activate(int32_t) {
    return 0;
}

int32_t MenuScreen::Command(int32_t) {
    return 0;
}

int32_t MenuScreen::HandleInput(const InputEvent* event) {
    const int32_t choice = FilterInput(event);
    if (choice <= 0) {
        return choice;
    }
    if (choice == 1) {
        return menu->PostResult(2, 1);
    }
    return menu->PostResult(3, choice);
}

int32_t MenuScreen::Enter() {
    Binding().shell->AcquireService("MNU", &menu);
    labels = new BannerLabels; // none when MEM refuses: the screen works without banners
    return 0;
}

void MenuScreen::Leave() {
    Binding().shell->ReleaseService("MNU", &menu);
    if (labels != nullptr) {
        labels->DestroyLabels();
        delete labels;
        labels = nullptr;
    }
}

int32_t MenuScreen::FilterInput(const InputEvent* event) {
    if (event == nullptr || menu == nullptr) {
        return 0;
    }
    const bool lowFlags = (event->flags & kLowFlagBits) != 0;
    int32_t choice = 0;
    if (event->kind == 3) {
        if (!lowFlags && event->code == 0) {
            choice = menu->GetActiveControlId();
        }
    } else if (event->kind == 1) {
        choice = lowFlags && event->code == 1 ? 1 : 0;
    }
    // Only a button of the host menu counts as a choice; the id 0 is asked about as well.
    Control* scratch = nullptr;
    if (menu->GetChild(choice, kKindButton, &scratch) == 0) {
        return 0;
    }
    return choice;
}
