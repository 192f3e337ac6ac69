// MenuScreen: the base of the screen object a plug-in hands to the shell. The shell drives it
// through Update, Activate, Command and HandleInput (virtual-table slots 0 to 3, the order is part
// of the contract); the plug-in itself calls Enter after binding and Leave before unbinding.
// Screens are static objects: construction allocates nothing and calls no service.
#pragma once

#include <cstdint>

#include "core/memory.h"
#include "framework/contract.h"

// The two banner labels (version bottom right, notice bottom left), created hidden.
class BannerLabels : public MemObject {
public:
    BannerLabels(); // creates both labels through DSP, held only while creating
    void DestroyLabels();
    void ShowVersion(int32_t flag);
    void ShowNotice(int32_t flag);

    Label* versionLabel;
    Label* noticeLabel;
};

class MenuScreen : public MemObject {
public:
    MenuScreen();
    virtual void Update();
    virtual int32_t Activate(int32_t flag);
    virtual int32_t Command(int32_t code);
    virtual int32_t HandleInput(const InputEvent* event);
    virtual ~MenuScreen();
    virtual int32_t Enter();
    virtual void Leave();

    int32_t FilterInput(const InputEvent* event);

    MenuService* menu;
    BannerLabels* labels;
};
