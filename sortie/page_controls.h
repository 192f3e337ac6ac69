// Controls of a page's sub-menu, fetched each time they are needed. A control the sub-menu does
// not have is answered by an inert stand-in (no rows, nothing selected, empty text), so that a
// menu layout missing a control costs that control and nothing else.
#pragma once

#include <cstdint>

#include "framework/contract.h"

Control* PageControl(Page* page, int32_t index, int32_t kind);

// Reads the selected row's text, always NUL-terminated within the 260-byte buffer.
void ReadSelectedText(Control* control, char (&buffer)[260]);
