// Encoding of the browser's store: "TRST", version, the counters, the keys with their
// values, the databases with their records, then an FNV-1a checksum of everything
// before it; all little-endian, then base64 so that the page's string storage takes it.
#include "platform/web/store_snapshot.h"

#include <cstring>

namespace platform::web {
namespace {

constexpr uint32_t kVersion = 1;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

uint32_t checksum(const uint8_t* p, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

class Writer {
  public:
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void u64(uint64_t v) {
        u32(static_cast<uint32_t>(v));
        u32(static_cast<uint32_t>(v >> 32));
    }
    void bytes(const void* p, size_t n) {
        u32(static_cast<uint32_t>(n));
        const auto* b = static_cast<const uint8_t*>(p);
        out.insert(out.end(), b, b + n);
    }
    void text(const std::string& s) { bytes(s.data(), s.size()); }
    std::vector<uint8_t> out;
};

// Reads with bounds: every read past the end fails the whole decoding.
class Reader {
  public:
    Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    bool u32(uint32_t& v) {
        if (n_ - at_ < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(p_[at_ + i]) << (8 * i);
        at_ += 4;
        return true;
    }
    bool u64(uint64_t& v) {
        uint32_t lo = 0, hi = 0;
        if (!u32(lo) || !u32(hi)) return false;
        v = lo | (static_cast<uint64_t>(hi) << 32);
        return true;
    }
    bool i64(int64_t& v) {
        uint64_t u = 0;
        if (!u64(u)) return false;
        v = static_cast<int64_t>(u);
        return true;
    }
    bool bytes(std::vector<uint8_t>& v) {
        uint32_t n = 0;
        if (!u32(n) || n > n_ - at_) return false;
        v.assign(p_ + at_, p_ + at_ + n);
        at_ += n;
        return true;
    }
    bool text(std::string& s) {
        std::vector<uint8_t> b;
        if (!bytes(b)) return false;
        s.assign(b.begin(), b.end());
        return true;
    }
    // A count of items each at least `least` bytes long: more than could fit is damage.
    bool count(uint32_t& n, size_t least) { return u32(n) && n <= (n_ - at_) / least; }
    bool done() const { return at_ == n_; }

  private:
    const uint8_t* p_;
    size_t n_;
    size_t at_ = 0;
};

std::string toBase64(const std::vector<uint8_t>& b) {
    std::string s;
    s.reserve((b.size() + 2) / 3 * 4);
    for (size_t i = 0; i < b.size(); i += 3) {
        const uint32_t v = (b[i] << 16) | (i + 1 < b.size() ? b[i + 1] << 8 : 0) |
                           (i + 2 < b.size() ? b[i + 2] : 0);
        s += kAlphabet[(v >> 18) & 63];
        s += kAlphabet[(v >> 12) & 63];
        s += i + 1 < b.size() ? kAlphabet[(v >> 6) & 63] : '=';
        s += i + 2 < b.size() ? kAlphabet[v & 63] : '=';
    }
    return s;
}

bool fromBase64(const std::string& s, std::vector<uint8_t>& out) {
    if (s.size() % 4 != 0) return false;
    out.clear();
    out.reserve(s.size() / 4 * 3);
    for (size_t i = 0; i < s.size(); i += 4) {
        // Padding, one or two '=', only ends the last group.
        int pad = 0;
        if (i + 4 == s.size() && s[i + 3] == '=') pad = s[i + 2] == '=' ? 2 : 1;
        uint32_t v = 0;
        for (int j = 0; j < 4; ++j) {
            if (j >= 4 - pad) {
                v <<= 6;
                continue;
            }
            const char c = s[i + j];
            const char* at = c != '\0' ? std::strchr(kAlphabet, c) : nullptr;
            if (at == nullptr) return false;
            v = (v << 6) | static_cast<uint32_t>(at - kAlphabet);
        }
        out.push_back(static_cast<uint8_t>(v >> 16));
        if (pad < 2) out.push_back(static_cast<uint8_t>(v >> 8));
        if (pad < 1) out.push_back(static_cast<uint8_t>(v));
    }
    return true;
}

std::vector<uint8_t> wideBytes(const std::u16string& s) {
    std::vector<uint8_t> b;
    for (char16_t c : s) b.insert(b.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
    return b;
}

}  // namespace

std::string foldCase(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

StoredKey* StoreSnapshot::keyById(int64_t id) {
    for (auto& [where, key] : keys)
        if (key.id == id) return &key;
    return nullptr;
}

StoredDatabase* StoreSnapshot::databaseById(uint32_t id) {
    for (StoredDatabase& d : databases)
        if (d.id == id) return &d;
    return nullptr;
}

StoredDatabase* StoreSnapshot::databaseByName(const std::string& name) {
    const std::string folded = foldCase(name);
    for (StoredDatabase& d : databases)
        if (foldCase(d.name) == folded) return &d;
    return nullptr;
}

std::string encodeSnapshot(const StoreSnapshot& s) {
    Writer w;
    w.out = {'T', 'R', 'S', 'T'};
    w.u32(kVersion);
    w.u64(static_cast<uint64_t>(s.nextKeyId));
    w.u32(s.nextDatabaseId);
    w.u32(s.nextRecordId);
    w.u32(static_cast<uint32_t>(s.keys.size()));
    for (const auto& [where, key] : s.keys) {
        w.u64(static_cast<uint64_t>(key.id));
        w.u64(static_cast<uint64_t>(key.root));
        w.text(key.path);
        w.u32(static_cast<uint32_t>(key.values.size()));
        for (const auto& [folded, value] : key.values) {
            w.text(value.name);
            w.u32(value.type);
            w.bytes(value.data.data(), value.data.size());
        }
    }
    w.u32(static_cast<uint32_t>(s.databases.size()));
    for (const StoredDatabase& d : s.databases) {
        w.u32(d.id);
        w.text(d.name);
        w.u32(d.type);
        w.u32(static_cast<uint32_t>(d.records.size()));
        for (const StoredRecord& r : d.records) {
            w.u32(r.id);
            w.u32(static_cast<uint32_t>(r.props.size()));
            for (const StoredProp& p : r.props) {
                w.u32(p.propid);
                w.u64(static_cast<uint64_t>(p.number));
                uint64_t real = 0;
                std::memcpy(&real, &p.real, sizeof real);
                w.u64(real);
                const std::vector<uint8_t> text = wideBytes(p.text);
                w.bytes(text.data(), text.size());
            }
        }
    }
    w.u32(checksum(w.out.data(), w.out.size()));
    return toBase64(w.out);
}

std::optional<StoreSnapshot> decodeSnapshot(const std::string& text) {
    std::vector<uint8_t> b;
    if (!fromBase64(text, b) || b.size() < 12 || std::memcmp(b.data(), "TRST", 4) != 0)
        return std::nullopt;
    Reader sum(b.data() + b.size() - 4, 4);
    uint32_t stored = 0;
    if (!sum.u32(stored) || stored != checksum(b.data(), b.size() - 4)) return std::nullopt;
    Reader r(b.data() + 4, b.size() - 8);
    StoreSnapshot s;
    uint32_t version = 0, keyCount = 0, dbCount = 0;
    if (!r.u32(version) || version != kVersion || !r.i64(s.nextKeyId) || !r.u32(s.nextDatabaseId) ||
        !r.u32(s.nextRecordId) || !r.count(keyCount, 24))
        return std::nullopt;
    for (uint32_t i = 0; i < keyCount; ++i) {
        StoredKey key;
        uint32_t valueCount = 0;
        if (!r.i64(key.id) || !r.i64(key.root) || !r.text(key.path) || !r.count(valueCount, 12))
            return std::nullopt;
        for (uint32_t j = 0; j < valueCount; ++j) {
            StoredValue v;
            if (!r.text(v.name) || !r.u32(v.type) || !r.bytes(v.data)) return std::nullopt;
            if (!key.values.emplace(foldCase(v.name), std::move(v)).second) return std::nullopt;
        }
        const auto where = std::make_pair(key.root, foldCase(key.path));
        if (!s.keys.emplace(where, std::move(key)).second) return std::nullopt;
    }
    if (!r.count(dbCount, 16)) return std::nullopt;
    for (uint32_t i = 0; i < dbCount; ++i) {
        StoredDatabase d;
        uint32_t recordCount = 0;
        if (!r.u32(d.id) || !r.text(d.name) || !r.u32(d.type) || !r.count(recordCount, 8))
            return std::nullopt;
        for (uint32_t j = 0; j < recordCount; ++j) {
            StoredRecord rec;
            uint32_t propCount = 0;
            if (!r.u32(rec.id) || !r.count(propCount, 24)) return std::nullopt;
            for (uint32_t k = 0; k < propCount; ++k) {
                StoredProp p;
                uint64_t real = 0;
                std::vector<uint8_t> wide;
                if (!r.u32(p.propid) || !r.i64(p.number) || !r.u64(real) || !r.bytes(wide) ||
                    wide.size() % 2 != 0)
                    return std::nullopt;
                std::memcpy(&p.real, &real, sizeof real);
                for (size_t at = 0; at < wide.size(); at += 2)
                    p.text += static_cast<char16_t>(wide[at] | (wide[at + 1] << 8));
                rec.props.push_back(std::move(p));
            }
            d.records.push_back(std::move(rec));
        }
        s.databases.push_back(std::move(d));
    }
    if (!r.done()) return std::nullopt;
    return s;
}

}  // namespace platform::web
