#include "sortie/page_controls.h"

#include <cstring>

namespace {

class AbsentControl final : public Control {
public:
    int32_t SetVisible(int32_t) override { return 0; }
    void SetText(const char*) override {}
    void SetEnabled(int32_t) override {}
    void Clear() override {}
    void AddItem(const char*) override {}
    void AddItemWithData(const char*, int32_t) override {}
    int32_t FindItem(const char*, int32_t, int32_t) override { return -1; }
    void SelectItem(int32_t) override {}
    int32_t GetSelectedIndex() override { return -1; }
    void GetSelectedText(char* buffer, int32_t size) override {
        if (buffer != nullptr && size > 0) {
            buffer[0] = '\0';
        }
    }
};

AbsentControl g_absent;

} // namespace

Control* PageControl(Page* page, int32_t index, int32_t kind) {
    Control* control = nullptr;
    if (page != nullptr) {
        page->GetControl(index, kind, &control);
    }
    return control != nullptr ? control : &g_absent;
}

void ReadSelectedText(Control* control, char (&buffer)[260]) {
    std::memset(buffer, 0, sizeof buffer);
    control->GetSelectedText(buffer, static_cast<int32_t>(sizeof buffer));
    buffer[sizeof buffer - 1] = '\0';
}
