// Control of the headless backend, for the simulator and the tests.
//
// Time is virtual: tickCount() starts at a chosen value, sleepMs() advances it without
// waiting, and getMessage() delivers scripted messages when they are due and otherwise
// advances time to the next 10 ms timer tick. The same script therefore gives the same
// game, frame for frame and byte for byte. Wave output is consumed in lock-step with the
// virtual clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace headless {

// Resets everything: clock at startTick, no messages, no window, no captures.
void reset(uint32_t startTick = 1000000);

// Queues a message to be delivered at virtual time `at` (ms). Messages due at the same
// time are delivered in the order queued.
void postMessage(const platform::Message& msg, uint32_t at);
// Convenience: deliver at the current time.
void postMessage(const platform::Message& msg);

// Requests the window to close: getMessage() returns false once the queue before it is
// drained.
void postQuit();
// The same, at virtual time `at`: messages queued for earlier times still arrive first.
void postQuit(uint32_t at);

// Called with every queued message when it falls due, before it is delivered; a filter
// that answers true swallows the message (the simulator's script markers use this to
// act between two frames).
void setMessageFilter(std::function<bool(const platform::Message&)> filter);

// The virtual clock.
uint32_t now();
void setNow(uint32_t tick);

// When the message queue holds nothing due, getMessage() advances to the next timer
// tick; with an idle limit set it returns false instead once virtual time reaches it.
void setIdleLimit(uint32_t tick);  // 0 = none

// The window as the player sees it: 320 x 240 landscape RGB888, built from every
// rectangle presented so far (not the back buffer).
std::vector<uint8_t> windowLandscapeRGB();
// The presented 240 x 320 device pixels (RGB565) as the window holds them.
const std::vector<uint16_t>& windowDevicePixels();
bool writeWindowPng(const std::string& path);

// Message boxes shown so far, in order ("caption: text" is not used; only the text).
const std::vector<std::string>& messageBoxes();

// Audio: everything the wave output played, as 8-bit unsigned interleaved frames.
void captureAudio(bool on);
const std::vector<uint8_t>& capturedAudio();
platform::WaveFormat capturedAudioFormat();
// Makes openWaveOut() fail (a machine without an audio device).
void setAudioAvailable(bool available);

// Number of presents of each kind so far (tests of "nothing presented").
uint64_t presentCount();

// Start-up failures to rehearse: no window can be made; another copy already runs.
void setWindowAvailable(bool available);
void setAnotherCopyRunning(bool running);

// What the program asked of the window so far.
bool windowCreated();
bool waitCursorShown();
uint32_t timerPeriod();  // 0 while no timer runs

}  // namespace headless
