#include "audio/module_player.h"

#include <algorithm>

#include "audio/mix_kernels.h"
#include "audio/module_tables.h"
#include "audio/step_tables.h"
#include "platform/platform.h"

namespace {

constexpr size_t kSongLengthAt = 950;
constexpr size_t kRestartAt = 951;
constexpr size_t kOrderAt = 952;
constexpr uint32_t kMaxOrder = 128;
constexpr uint32_t kPans[4] = {64, 192, 192, 64};

uint32_t Be16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 8 | p[1];
}

// Song length as the sequencer uses it: the order table has 128 entries, and a song
// needs at least one position to have something to play.
uint32_t UsedSongLength(const uint8_t* module) {
    return std::clamp<uint32_t>(module[kSongLengthAt], 1, kMaxOrder);
}

uint32_t CountPatterns(const uint8_t* module, uint32_t songLength) {
    uint32_t highest = 0;
    for (uint32_t i = 0; i < songLength; ++i)
        highest = std::max<uint32_t>(highest, module[kOrderAt + i]);
    return highest + 1;
}

int32_t PeriodAt(int32_t index) {
    return PeriodTable()[std::clamp<int32_t>(index, 0, kPeriodTableSize - 1)];
}

int32_t NoteIndex(int32_t period) {
    return NoteIndexMap()[std::clamp<int32_t>(period, 0, kNoteIndexMapSize - 1)];
}

}  // namespace

ModuleRequest::~ModuleRequest() {
    if (ownsData) delete[] data;
}

bool LoadModuleResource(int id, ModuleRequest& request) {
    const std::span<const uint8_t> bytes = platform::findResource("MUSIC", id);
    request.data = bytes.empty() ? nullptr : bytes.data();
    request.size = bytes.size();
    request.ownsData = 0;
    return request.data != nullptr;
}

bool ModulePlayer::Acceptable(std::span<const uint8_t> m) {
    if (m.size() < kHeaderSize) return false;
    const uint64_t count = CountPatterns(m.data(), UsedSongLength(m.data()));
    return kHeaderSize + count * kPatternSize <= m.size();
}

bool ModulePlayer::StartModule(const ModuleRequest& request, const uint16_t* stepTable,
                               uint32_t rate, uint32_t master) {
    if (!request.data || !Acceptable({request.data, request.size})) return false;
    module = request.data;
    moduleSize = request.size;
    patterns = module + kHeaderSize;
    songLength = UsedSongLength(module);
    patternCount = CountPatterns(module, songLength);
    steps = stepTable;
    outputRate = rate;

    // Instruments: sample bytes follow the patterns in instrument order. Those cut off
    // by the end of the module keep only the bytes that exist.
    const size_t sampleArea = kHeaderSize + static_cast<size_t>(patternCount) * kPatternSize;
    size_t offset = sampleArea;
    instruments[0] = Instrument{};
    for (int k = 0; k < 31; ++k) {
        const uint8_t* rec = module + 20 + 30 * k;
        Instrument& in = instruments[k + 1];
        in = Instrument{};
        const uint32_t words = Be16(rec + 22);
        if (words == 0) continue;
        const uint32_t loopWords = Be16(rec + 28);
        in.length = words * 512;
        in.loopStart = Be16(rec + 26) * 512;
        in.loopLength = loopWords > 1 ? loopWords * 512 : 0;
        in.volume = rec[25];
        in.finetune = rec[24];
        const size_t bytes = static_cast<size_t>(words) * 2;
        const size_t present = offset < moduleSize ? std::min(bytes, moduleSize - offset) : 0;
        in.data = present ? reinterpret_cast<const int8_t*>(module + offset) : nullptr;
        in.available = static_cast<uint32_t>(present);
        in.readable =
            present ? static_cast<uint32_t>(std::min<size_t>(moduleSize - offset, UINT32_MAX)) : 0;
        offset += bytes;
    }

    framesPerTick = rate / 50;
    frameCounter = 0;
    speed = 6;
    tickCounter = 6;
    rowOffset = 0;
    position = 0;
    pattern = module[kOrderAt];
    const uint32_t restart = module[kRestartAt];
    restartPosition = (restart == 127 || restart >= songLength) ? 0 : restart;
    jump = kNoJump;
    breakRowOffset = 0;
    patternDelay = 0;
    for (int t = 0; t < 4; ++t) {
        tracks[t].pan = kPans[t];
        tracks[t].period = 0;
        tracks[t].instrument = 0;
    }

    loop = request.loop;
    masterVolume = master;
    SetVolume(request.volume);
    Start();
    return true;
}

void ModulePlayer::SetVolume(uint32_t v) {
    Voice::SetVolume(v);
    for (Track& t : tracks) RecomputeTrackVolume(t);
}

void ModulePlayer::RecomputeTrackVolume(Track& t) {
    // Set volumes, fine slides and instrument volumes may leave 0..64 and sound as they
    // are: louder, or with the wave turned over when below 0. The mixer takes 16-bit
    // volumes; past those every byte but 0 already drives the output to its end.
    const int64_t v = int64_t{effectiveVolume} * t.volume >> 6;
    t.effectiveVolume = static_cast<int32_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

void ModulePlayer::FineSlide(Track& t, int32_t amount) {
    // Rows of fine slides add up without end; the sum stops at the ends of its type.
    t.volume =
        static_cast<int32_t>(std::clamp<int64_t>(int64_t{t.volume} + amount, INT32_MIN, INT32_MAX));
    RecomputeTrackVolume(t);
}

uint32_t ModulePlayer::StepFor(int32_t period) const {
    return steps[std::clamp<int32_t>(period, 0, kStepTableSize - 1)];
}

void ModulePlayer::EndOfSong() {
    if (loop) {
        position = restartPosition;
    } else {
        Stop();
    }
}

void ModulePlayer::ReadRow() {
    const uint8_t* row = patterns + static_cast<size_t>(pattern) * kPatternSize + rowOffset * 4;
    for (int t = 0; t < 4; ++t) ProcessNote(tracks[t], row + t * 4);
    if (jump != kNoJump) {
        const uint32_t target = jump;
        jump = kNoJump;
        position = target;
        // A jump past the song's last position still plays the order entry there when it
        // names a pattern the module holds; past the order table, or to a pattern that is
        // not there, it ends the song like running off its end.
        if (position >= kMaxOrder || module[kOrderAt + position] >= patternCount) {
            EndOfSong();
            if (stopped) return;
        }
        pattern = module[kOrderAt + position];
        rowOffset = breakRowOffset;
        return;
    }
    rowOffset += 4;
    if (rowOffset >= 256) {
        rowOffset = 0;
        ++position;
        if (position >= songLength) {
            EndOfSong();
            if (stopped) return;
        }
        pattern = module[kOrderAt + position];
    }
}

void ModulePlayer::ProcessNote(Track& t, const uint8_t* note) {
    const int32_t period = (note[0] & 0x0F) << 8 | note[1];
    uint32_t instrument = (note[0] & 0xF0) | (note[2] >> 4);
    if (instrument > 31) instrument = 0;  // no such instrument record
    t.effect = note[2] & 0x0F;
    t.parameter = note[3];
    t.x = note[3] >> 4;
    t.y = note[3] & 0x0F;

    if (instrument != 0) {
        t.instrument = instrument;
        t.volume = instruments[instrument].volume;
        RecomputeTrackVolume(t);
    }
    const int32_t finetune = instruments[t.instrument].finetune;
    const bool noteDelay = t.effect == 14 && t.x == 13;
    if (period != 0 && t.effect != 3 && t.effect != 5 && !noteDelay) {
        t.position = 0;
        t.period = PeriodAt(finetune * 60 + NoteIndex(period));
    }
    if (t.instrument != 0) t.step = StepFor(t.period);

    switch (t.effect) {
        case 0:
            if (t.parameter != 0) {
                t.arpCounter = 0;
                t.arpSteps[0] = t.step;
                t.arpSteps[1] = StepFor(PeriodAt(NoteIndex(t.period) + t.x));
                t.arpSteps[2] = StepFor(PeriodAt(NoteIndex(t.period) + t.y));
            }
            break;
        case 1:
        case 2:
            t.slidePeriod = t.period;
            break;
        case 3:
            if (period != 0) {
                t.portaTarget = PeriodAt(finetune * 60 + NoteIndex(period));
            } else if (t.portaTarget == 0) {
                t.portaTarget = PeriodAt(finetune * 60 + NoteIndex(t.period));
            }
            if (t.parameter != 0) t.portaSpeed = t.parameter;
            break;
        case 4:
            if (t.parameter != 0) {
                t.vibratoSpeed = t.x;
                t.vibratoDepth = t.y;
            }
            break;
        case 5:
        case 6:
        case 10:
            t.slide = t.parameter == 0 ? 0 : t.x != 0 ? t.x : -static_cast<int32_t>(t.y);
            break;
        case 9:
            t.position = static_cast<uint32_t>(t.parameter) << 8;
            break;
        case 11:
            jump = t.parameter;
            breakRowOffset = 0;
            break;
        case 12:
            t.volume = t.parameter;
            RecomputeTrackVolume(t);
            break;
        case 13: {
            bool jumped = true;
            if (position + 1 < songLength) {
                jump = position + 1;
            } else if (loop) {
                jump = restartPosition;
            } else {
                breakRowOffset = 252;
                jumped = false;
            }
            // The row is written in decimal; rows past 63 do not exist.
            if (jumped) breakRowOffset = std::min<uint32_t>((t.x * 10u + t.y) * 4u, 252);
            break;
        }
        case 14:
            switch (t.x) {
                case 10:
                    FineSlide(t, t.y);
                    break;
                case 11:
                    FineSlide(t, -static_cast<int32_t>(t.y));
                    break;
                case 12:
                    t.cutCounter = t.y;
                    break;
                case 13:
                    t.delayCounter = static_cast<int32_t>(t.y) - 1;
                    t.delayedPeriod = period;
                    break;
                case 14:
                    patternDelay = t.y;
                    break;
                default:
                    break;
            }
            break;
        case 15:
            if (t.parameter <= 32) {
                speed = t.parameter;
            } else {
                framesPerTick = outputRate / ((t.parameter * 2u) / 5u);
            }
            break;
        default:
            break;
    }
}

void ModulePlayer::VolumeSlide(Track& t) {
    t.volume = std::clamp<int32_t>(t.volume + t.slide, 0, 64);
    RecomputeTrackVolume(t);
}

void ModulePlayer::TickEffects(Track& t) {
    switch (t.effect) {
        case 0:
            if (t.parameter != 0) {
                t.arpCounter = (t.arpCounter + 1) % 3;
                t.step = t.arpSteps[t.arpCounter];
            }
            break;
        case 1:
        case 2: {
            t.slidePeriod += t.effect == 1 ? -static_cast<int32_t>(t.parameter) : t.parameter;
            t.period = t.slidePeriod;
            const uint32_t s = StepFor(t.slidePeriod);
            if (s != 0) t.step = s;
            break;
        }
        case 3:
        case 5:
            if (t.period > t.portaTarget) {
                t.period -= t.portaSpeed;
                if (t.period < t.portaTarget || t.period < 0) t.period = t.portaTarget;
            } else if (t.period < t.portaTarget) {
                t.period += t.portaSpeed;
                if (t.period > t.portaTarget) t.period = t.portaTarget;
            }
            t.step = StepFor(t.period);
            if (t.effect == 5) VolumeSlide(t);
            break;
        case 4:
        case 6: {
            const int16_t* sine = SineTable();
            const int32_t base = t.period * 256;
            const int32_t depth = static_cast<int32_t>(t.vibratoDepth);
            const int32_t v = t.vibratoPosition < 32 ? base + sine[t.vibratoPosition] * depth
                                                     : base - sine[t.vibratoPosition - 32] * depth;
            t.step = StepFor(v >> 8);
            t.vibratoPosition += t.vibratoSpeed;
            if (t.vibratoPosition >= 64) t.vibratoPosition -= 64;
            if (t.effect == 6) VolumeSlide(t);
            break;
        }
        case 10:
            VolumeSlide(t);
            break;
        case 14:
            if (t.x == 12) {
                if (t.cutCounter > 0 && --t.cutCounter == 0) t.effectiveVolume = 0;
            } else if (t.x == 13) {
                if (t.delayCounter == -1) {
                    t.period = t.delayedPeriod;
                    t.delayCounter = kDelayDone;
                    t.step = StepFor(t.period);
                } else if (t.delayCounter != kDelayDone) {
                    --t.delayCounter;
                }
            }
            break;
        default:
            break;
    }
}

void ModulePlayer::Sequence() {
    if (tickCounter >= speed) {
        if (patternDelay != 0) {
            --patternDelay;
        } else {
            ReadRow();
            if (stopped) return;
        }
        tickCounter = 0;
    } else if (frameCounter >= framesPerTick) {
        frameCounter = 0;
        ++tickCounter;
        if (tickCounter != speed) {
            for (Track& t : tracks) TickEffects(t);
        }
    } else {
        ++frameCounter;
    }
}

void ModulePlayer::MixSpan(int32_t* left, int32_t* right, uint32_t frames, bool stereo) {
    uint32_t done = 0;
    while (done < frames && !stopped) {
        uint32_t run = 0;
        if (tickCounter >= speed || frameCounter >= framesPerTick) {
            // A row or a tick starts on this frame.
            Sequence();
            if (stopped) return;
            run = 1;
        }
        // Until the frame counter reaches the tick length nothing but the counter
        // changes, so those frames mix with the same steps and volumes as this one.
        if (done + run < frames && tickCounter < speed && frameCounter < framesPerTick) {
            const uint32_t more = std::min(framesPerTick - frameCounter, frames - done - run);
            frameCounter += more;
            run += more;
        }
        MixTracks(left + done, right + done, run, stereo);
        done += run;
    }
}

namespace {

constexpr uint32_t kGatherFrames = 1024;
alignas(16) constexpr int8_t kSilence[kGatherFrames + 16] = {};

}  // namespace

void ModulePlayer::MixTracks(int32_t* left, int32_t* right, uint32_t frames, bool stereo) {
    // Room for a vector block written past the frames asked for.
    alignas(16) int8_t gathered[4][kGatherFrames + 16];
    const int8_t* g[4] = {gathered[0], gathered[1], gathered[2], gathered[3]};
    int16_t leftVol[4], rightVol[4];
    while (frames > 0) {
        const uint32_t n = std::min(frames, kGatherFrames);
        int active = 0;
        for (Track& t : tracks) {
            const Instrument& in = instruments[t.instrument];
            if (!in.data) continue;
            Gather(t, in, gathered[active], n);
            const int32_t vol = t.effectiveVolume;
            const int32_t r = stereo ? vol * static_cast<int32_t>(t.pan) >> 8 : 0;
            leftVol[active] = static_cast<int16_t>(vol - r);
            rightVol[active] = static_cast<int16_t>(r);
            ++active;
        }
        if (active > 0) {
            if (stereo) {
                // Silent places fill the four so that the tracks can be added in pairs.
                for (int k = active; k < 4; ++k) {
                    g[k] = kSilence;
                    leftVol[k] = rightVol[k] = 0;
                }
                // Rounded up to whole blocks of 16: the bytes past n are made silent, and
                // the accumulators have room for them.
                for (int k = 0; k < active; ++k)
                    std::fill(gathered[k] + n, gathered[k] + n + 16, 0);
                mixk::AddTracksStereo(g, leftVol, rightVol, 4, left, right, (n + 15) & ~15u);
                for (int k = active; k < 4; ++k) g[k] = gathered[k];
            } else {
                mixk::AddTracks(g, leftVol, active, left, n);
            }
        }
        left += n;
        right += n;
        frames -= n;
    }
}

void ModulePlayer::Gather(Track& t, const Instrument& in, int8_t* out, uint32_t frames) {
    const int8_t* data = in.data;
    const uint32_t step = t.step;
    const bool looped = in.loopLength != 0;
    const uint32_t loopEnd = in.loopStart + in.loopLength;
    // Positions up to `safe` play a byte that exists without reaching the end or the
    // loop point; those frames need no checks.
    const uint32_t lastReadable = in.available * 256 - 1;
    const uint32_t safe = std::min(looped ? loopEnd : in.length, lastReadable);
    uint32_t pos = t.position;
    uint32_t f = 0;
    while (f < frames) {
        if (!looped) {
            // Past its end a one-shot instrument is silent, but its position runs on, so
            // another instrument taken up without a note starts where the time has got to.
            // It stops at the top instead of wrapping round to the start of the sample.
            if (pos > in.length) {
                std::fill(out + f, out + frames, 0);
                pos = static_cast<uint32_t>(
                    std::min<uint64_t>(pos + uint64_t{frames - f} * step, UINT32_MAX));
                break;
            }
        } else if (pos > loopEnd) {
            pos -= in.loopLength;
            if (pos > loopEnd) pos = in.loopStart + (pos - in.loopStart) % in.loopLength;
        }
        if (pos <= safe) {
            uint32_t run = frames - f;
            if (step != 0) run = std::min<uint32_t>(run, (safe - pos) / step + 1);
            mixk::GatherBytes(data, in.readable, pos, step, run, out + f);
            pos += run * step;
            f += run;
            continue;
        }
        // A frame whose byte would lie past the bytes there are.
        uint32_t index = pos >> 8;
        // A loop ending at the last byte would read one byte past it; go round instead.
        if (index >= in.available && looped && pos >= in.loopLength) {
            pos -= in.loopLength;
            index = pos >> 8;
        }
        out[f] = index < in.available ? data[index] : 0;
        pos += step;
        ++f;
    }
    t.position = pos;
}
