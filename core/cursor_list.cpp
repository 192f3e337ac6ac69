#include "core/cursor_list.h"

#include "core/text.h"

CursorList::CursorList()
    : cursor(nullptr), head(nullptr), tail(nullptr), count(0), cursorIndex(-1) {}

CursorList::~CursorList() {
    Clear();
}

CursorListNode* CursorList::CreateNode(intptr_t value) {
    auto* node = new CursorListNode;
    if (node == nullptr) {
        return nullptr;
    }
    node->next = nullptr;
    node->prev = nullptr;
    node->value = value;
    ++count;
    return node;
}

int CursorList::Append(intptr_t value) {
    CursorListNode* node = CreateNode(value);
    if (node == nullptr) {
        return 0;
    }
    if (head == nullptr) {
        head = node;
    } else {
        tail->next = node;
        node->prev = tail;
    }
    tail = node;
    cursor = node;
    cursorIndex = count - 1;
    return 1;
}

int CursorList::InsertBeforeCursor(intptr_t value) {
    CursorListNode* node = CreateNode(value);
    if (node == nullptr) {
        return 0;
    }
    if (head == nullptr) {
        head = tail = cursor = node;
        cursorIndex = 0;
        return 1;
    }
    if (cursor == nullptr) {
        cursor = head;
        cursorIndex = 0;
    }
    if (cursor == head) {
        head = node;
    } else {
        cursor->prev->next = node;
        node->prev = cursor->prev;
    }
    node->next = cursor;
    cursor->prev = node;
    cursor = node;
    return 1;
}

int CursorList::InsertAt(int32_t index, intptr_t value) {
    if (index < 0) {
        Rewind();
        return InsertBeforeCursor(value);
    }
    if (index >= count) {
        return Append(value);
    }
    Seek(index);
    return InsertBeforeCursor(value);
}

void CursorList::Seek(int32_t index) {
    if (cursor != nullptr) {
        if (index == cursorIndex) {
            return;
        }
        if (index == cursorIndex + 1) {
            cursor = cursor->next;
            ++cursorIndex;
            return;
        }
        if (index == cursorIndex - 1) {
            cursor = cursor->prev;
            --cursorIndex;
            return;
        }
    }
    Rewind();
    for (int32_t i = 0; i < index && cursor != nullptr; ++i) {
        cursor = cursor->next;
        ++cursorIndex;
    }
}

namespace {

// One search order for both finds: from the cursor to the tail, then from the head up to where
// the search began; every node is tested once.
template <typename Match> int Search(CursorList& list, Match match) {
    if (list.cursor == nullptr) {
        list.cursor = list.head;
        list.cursorIndex = 0;
    }
    const int32_t start = list.cursorIndex;
    while (list.cursor != nullptr) {
        if (match(list.cursor->value)) {
            return 1;
        }
        list.Advance();
    }
    list.cursor = list.head;
    list.cursorIndex = 0;
    while (list.cursor != nullptr && list.cursorIndex < start) {
        if (match(list.cursor->value)) {
            return 1;
        }
        list.Advance();
    }
    list.cursor = nullptr;
    list.cursorIndex = -1;
    return 0;
}

} // namespace

int CursorList::FindValue(intptr_t key) {
    if (count <= 0) {
        return 0;
    }
    return Search(*this, [key](intptr_t value) { return value == key; });
}

int CursorList::FindName(const char* name) {
    if (count <= 0 || IsEmptyText(name) != 0) {
        return 0;
    }
    return Search(*this, [name](intptr_t value) {
        if (value == 0) {
            return false;
        }
        // The record's first field is the pointer to its name.
        const char* recordName = *reinterpret_cast<const char* const*>(value);
        return TextEquals(recordName, name, 0) != 0;
    });
}

void CursorList::Clear() {
    while (head != nullptr) {
        CursorListNode* node = head;
        head = node->next;
        delete node;
        --count;
    }
    head = nullptr;
    tail = nullptr;
    cursor = nullptr;
    count = 0;
    cursorIndex = -1;
}

void CursorList::Rewind() {
    cursor = head;
    cursorIndex = head != nullptr ? 0 : -1;
}

void CursorList::Advance() {
    if (cursor != nullptr) {
        cursor = cursor->next;
        ++cursorIndex;
    }
}

intptr_t CursorList::CurrentValue() const {
    return cursor != nullptr ? cursor->value : 0;
}
