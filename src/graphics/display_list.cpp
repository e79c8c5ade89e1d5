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
    delete node;
    --count;
}

void DisplayList::clear() {
    Node* node = head;
    while (node != nullptr) {
        Node* next = node->next;
        delete node;
        node = next;
    }
    head = tail = nullptr;
    count = 0;
}

bool DisplayList::contains(const Sprite* item) const {
    for (Node* node = head; node != nullptr; node = node->next)
        if (node->item == item) return true;
    return false;
}
