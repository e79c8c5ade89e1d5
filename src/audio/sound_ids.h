// Every sound the game plays, by its wave resource id. The numbers are the game's own:
// the pack stores the sounds under them and the dump reports them.
#pragma once

enum SoundId : int {
    SOUND_MENU_MUSIC = 535,     // looped under every screen but the round
    SOUND_ROUND_MUSIC = 537,    // looped during a round
    SOUND_VOLUME_SAMPLE = 538,  // a sample of the new effect volume on the options screen
    SOUND_BUTTON = 540,         // a button of any screen is pressed
    SOUND_RELOAD = 543,         // the empty magazine is tapped
    SOUND_DUCK_HIT = 544,       // a duck (also the sign duck) is hit
    SOUND_HIDDEN_TARGET = 545,  // the hidden target is found
    SOUND_EMPTY_CLICK = 546,    // a tap with an empty gun
    SOUND_SHOT = 550,
    SOUND_LAST_SHELL = 551,   // over the shot that empties the magazine
    SOUND_TIME_GAINED = 555,  // a clock leaf adds 30 seconds
    SOUND_TIME_LOST = 556,    // a clock leaf takes 30 seconds
    SOUND_BONUS = 557,        // the bonus item releases a flock
    SOUND_RED_BIRD_HIT = 558,
    SOUND_FISHERMAN_HIT = 562,
    SOUND_QUACK = 563,         // a duck takes off, or the swimmer turns round
    SOUND_QUACK_CALL = 564,    // the other take-off call
    SOUND_GONG = 578,          // the round ends; also a help page turns and the about box closes
    SOUND_TIME_WARNING = 579,  // the last seconds of a round
};
