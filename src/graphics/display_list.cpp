#include "graphics/display_list.h"

DisplayList::~DisplayList() {
    clear();
}

void DisplayList::insert(Sprite* item, uint16_t key) {
    Node* node = new Node{item, key, nullptr, nullptr};
    ++count;
    if (head == nullptr) {
        head = tail = node;
        return;
    }
    if (key < head->key) {
        node->next = head;
        head->prev = node;
        head = node;
        return;
    }
    // Equal keys: the newcomer goes before the first equal node after the head, or
    // right after the head when the head itself is equal.
    Node* at = head;
    while (at->next != nullptr && at->next->key < key) at = at->next;
    node->prev = at;
    node->next = at->next;
    if (at->next != nullptr)
        at->next->prev = node;
    else
        tail = node;
    at->next = node;
}

void DisplayList::remove(Sprite* item) {
    Node* node = head;
    while (node != nullptr && node->item != item) node = node->next;
    if (node == nullptr) return;
    if (node->prev != nullptr)
        node->prev->next = node->next;
    else
        head = node->next;
    if (node->next != nullptr)
        node->next->prev = node->prev;
    else
        tail = node->prev;
    // A walk that removes the item it stands on carries on with the item after it, in
    // whichever direction it walks, also from either end of the list.
    if (cursor == node) {
        cursor = nullptr;
        resuming_ = true;
        resumeNext_ = node->next;
        resumePrev_ = node->prev;
    } else if (resuming_) {
        if (resumeNext_ == node) resumeNext_ = node->next;
        if (resumePrev_ == node) resumePrev_ = node->prev;
    }
    delete node;
    --count;
    if (count == 0) {
        head = tail = cursor = nullptr;
        resuming_ = false;
    }
}

void DisplayList::clear() {
    Node* node = head;
    while (node != nullptr) {
        Node* next = node->next;
        delete node;
        node = next;
    }
    head = tail = cursor = nullptr;
    resuming_ = false;
    count = 0;
}

Sprite* DisplayList::itemAt(int n) const {
    if (n < 0 || n >= count) return nullptr;
    Node* node = head;
    for (int i = 0; i < n && node != nullptr; ++i) node = node->next;
    return node != nullptr ? node->item : nullptr;
}

Sprite* DisplayList::first() {
    resuming_ = false;
    cursor = head;
    return cursor != nullptr ? cursor->item : nullptr;
}

Sprite* DisplayList::next() {
    if (resuming_)
        cursor = resumeNext_;
    else if (cursor != nullptr)
        cursor = cursor->next;
    resuming_ = false;
    return cursor != nullptr ? cursor->item : nullptr;
}

Sprite* DisplayList::last() {
    resuming_ = false;
    cursor = tail;
    return cursor != nullptr ? cursor->item : nullptr;
}

Sprite* DisplayList::previous() {
    if (resuming_)
        cursor = resumePrev_;
    else if (cursor != nullptr)
        cursor = cursor->prev;
    resuming_ = false;
    return cursor != nullptr ? cursor->item : nullptr;
}

bool DisplayList::contains(const Sprite* item) const {
    for (Node* node = head; node != nullptr; node = node->next)
        if (node->item == item) return true;
    return false;
}
