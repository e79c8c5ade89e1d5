// A doubly linked list of sprites ordered by a key (the layer), lowest first.
#pragma once

#include <cstdint>

class Sprite;

class DisplayList {
  public:
    struct Node {
        Sprite* item;
        uint16_t key;
        Node* next;
        Node* prev;
    };

    DisplayList() = default;
    virtual ~DisplayList();  // frees the nodes that are left
    DisplayList(const DisplayList&) = delete;
    DisplayList& operator=(const DisplayList&) = delete;

    void insert(Sprite* item, uint16_t key);
    void remove(Sprite* item);
    void clear();
    bool contains(const Sprite* item) const;

    // Walks go over the nodes from head or tail; none may remove a node it stands on.
    Node* head = nullptr;
    Node* tail = nullptr;
    uint16_t count = 0;
};
