#include "graphics/key_runs.h"

KeyRuns::KeyRuns(const Bitmap& b, uint16_t key) : key_(key) {
    std::array<std::vector<std::array<uint16_t, 2>>, kGroups> runPlaces;
    std::vector<std::array<uint16_t, 2>> edgePlaces;
    auto place = [](int y, int x) {
        return std::array<uint16_t, 2>{static_cast<uint16_t>(y), static_cast<uint16_t>(x)};
    };
    for (int y = 0; y < b.height; ++y) {
        const uint16_t* row = b.row(y);
        // The top row has nothing above it: it is copied as a plain keyed row.
        const uint16_t* above = y > 0 ? b.row(y - 1) : nullptr;
        auto aboveKey = [&](int x) { return above != nullptr && above[x] == key; };
        for (int x = 0; x < b.width;) {
            const uint16_t p = row[x];
            const bool isKey = p == key;
            if (above != nullptr && isKey != aboveKey(x)) {
                edges_.push_back(Edge{0, static_cast<uint16_t>((p & 0xF7DE) >> 1),
                                      static_cast<uint16_t>(p & 0x0821)});
                edgePlaces.push_back(place(y, x));
            }
            if (isKey || aboveKey(x)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < b.width && row[x] != key && !aboveKey(x)) ++x;
            const int n = x - start;
            int group = 0;
            while (group < kGroups - 1 && n > (2 << group)) ++group;
            copies_[group].push_back(Run{static_cast<uint32_t>(y * b.stride + start * 2), 0,
                                         static_cast<uint32_t>(n * 2)});
            runPlaces[group].push_back(place(y, start));
        }
    }
    for (const auto& g : runPlaces) places_.insert(places_.end(), g.begin(), g.end());
    places_.insert(places_.end(), edgePlaces.begin(), edgePlaces.end());
}

bool KeyRuns::aimAt(int stride) const {
    if (stride == stride_) return true;
    if (stride < 0 || stride > 0x10000) return false;
    auto at = [stride](const std::array<uint16_t, 2>& p) {
        return static_cast<uint32_t>(p[0]) * static_cast<uint32_t>(stride) + p[1] * 2u;
    };
    size_t i = 0;
    for (auto& group : copies_)
        for (Run& run : group) run.dst = at(places_[i++]);
    for (Edge& e : edges_) e.dst = at(places_[i++]);
    stride_ = stride;
    return true;
}

const KeyRuns* KeyRuns::of(const Bitmap& b, uint16_t key) {
    if (!b.owns || b.width > UINT16_MAX || b.height > UINT16_MAX) return nullptr;
    if (!b.unchangedSinceKeyedDraw) {
        b.keyRuns.reset();
        b.unchangedSinceKeyedDraw = true;
        return nullptr;
    }
    if (b.keyRuns == nullptr || b.keyRuns->key() != key)
        b.keyRuns = std::make_unique<KeyRuns>(b, key);
    return b.keyRuns.get();
}
