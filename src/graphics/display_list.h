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
    Sprite* itemAt(int n) const;
    Sprite* first();
    Sprite* next();
    Sprite* last();
    Sprite* previous();
    bool contains(const Sprite* item) const;

    Node* head = nullptr;
    Node* tail = nullptr;
    Node* cursor = nullptr;
    uint16_t count = 0;

  private:
    // Where a walk goes on after the node under the cursor was removed: next() resumes
    // at resumeNext, previous() at resumePrev (either may be null at an end).
    bool resuming_ = false;
    Node* resumeNext_ = nullptr;
    Node* resumePrev_ = nullptr;
};
