// Writing the observable state: views, settings, scores, sounds and message boxes.
#include "sim/state_dump.h"

#include <cstdio>

#include "audio/game_sound.h"
#include "persist/hiscore_table.h"
#include "persist/settings.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/application.h"
#include "shell/view_manager.h"
#include "sim/round_hooks.h"

std::string jsonString(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string utf8FromName(const char16_t* name, int capacity) {
    std::string out;
    for (int i = 0; i < capacity && name[i] != 0; ++i) {
        uint32_t cp = name[i];
        // A lone surrogate half becomes the replacement character.
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            const bool pair =
                cp <= 0xDBFF && i + 1 < capacity && name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF;
            if (pair) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (name[i + 1] - 0xDC00);
                ++i;
            } else {
                cp = 0xFFFD;
            }
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

namespace {

std::string settingsJson(const Settings* s) {
    if (s == nullptr) return "null";
    auto num = [](const char* name, long v) {
        return std::string("\"") + name + "\": " + std::to_string(v);
    };
    std::string out = "{";
    out += "\"userName\": " + jsonString(utf8FromName(s->userName, 9)) + ", ";
    out += "\"playerName\": " + jsonString(utf8FromName(s->playerName, 9)) + ", ";
    out += num("lastScore", s->lastScore) + ", ";
    out += num("soundVolume", s->soundVolume) + ", ";
    out += num("musicVolume", s->musicVolume) + ", ";
    out += num("killedDucks", s->killedDucks) + ", ";
    out += num("killedLeaves", s->killedLeaves) + ", ";
    out += num("negPoints", s->negPoints) + ", ";
    out += num("percentageSuccess", s->percentageSuccess) + ", ";
    out += num("menuAnimation", s->menuAnimation) + ", ";
    out += num("specialEffects", s->specialEffects) + ", ";
    out += num("pendingScore", s->pendingScore) + ", ";
    out += num("resultPending", s->resultPending);
    return out + "}";
}

std::string hiscoresJson(const Settings* s) {
    if (s == nullptr || s->hiScores == nullptr) return "null";
    std::string out = "[";
    for (int i = 0; i < HiScoreTable::kRecords; ++i) {
        const HiScoreRecord& r = s->hiScores->records[i];
        if (i > 0) out += ", ";
        out += "{\"latest\": " + std::to_string(r.latest) +
               ", \"score\": " + std::to_string(r.score) +
               ", \"name\": " + jsonString(utf8FromName(r.name, 10)) + "}";
    }
    return out + "]";
}

std::string soundsJson(const GameSound* sound) {
    if (sound == nullptr) return "[]";
    std::string out = "[";
    bool first = true;
    for (const GameSound::Started& s : sound->started) {
        if (!first) out += ", ";
        first = false;
        out += "{\"tick\": " + std::to_string(s.tick) + ", \"id\": " + std::to_string(s.id) + "}";
    }
    return out + "]";
}

}  // namespace

std::string stateDumpJson() {
    Application& app = application();
    const ViewManager* vm = app.viewManager;
    std::string out = "{\n";
    out += "  \"tick\": " + std::to_string(platform::tickCount()) + ",\n";
    if (vm != nullptr) {
        out += "  \"view\": " + std::to_string(vm->currentId) + ",\n";
        out += "  \"previousView\": " + std::to_string(vm->previousId) + ",\n";
        out += "  \"historyDepth\": " + std::to_string(vm->historyDepth) + ",\n";
    } else {
        out += "  \"view\": null,\n  \"previousView\": null,\n  \"historyDepth\": null,\n";
    }
    out += "  \"settings\": " + settingsJson(app.settings) + ",\n";
    out += "  \"hiscores\": " + hiscoresJson(app.settings) + ",\n";
    std::string round;
    out += "  \"round\": " + (roundJson(round) ? round : std::string("null")) + ",\n";
    out += "  \"sounds\": " + soundsJson(app.sound) + ",\n";
    out += "  \"messageBoxes\": [";
    const auto& boxes = headless::messageBoxes();
    for (size_t i = 0; i < boxes.size(); ++i) out += (i ? ", " : "") + jsonString(boxes[i]);
    out += "]\n}\n";
    return out;
}
