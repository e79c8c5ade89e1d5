// Every picture the game loads, by its picture resource id. The numbers are the game's
// own: the pack stores the pictures under them. A name that ends in _FIRST starts a run
// of frames that ends at the _LAST of the same name; a button's pressed picture is the
// next id after it unless it has a _PRESSED name of its own.
#pragma once

enum PictureId : int {
    // The round.
    // Scene rows 640-959 (the player's left third).
    PIC_SCENE_BOTTOM = 146,
    PIC_SCENE_MIDDLE = 147,
    // Scene rows 0-319 (the player's right third).
    PIC_SCENE_TOP = 148,
    // A near duck flying towards scene row 959.
    PIC_BIG_DUCK_DOWN_FIRST = 163,
    PIC_BIG_DUCK_DOWN_LAST = 170,
    // A near duck flying towards scene row 0.
    PIC_BIG_DUCK_UP_FIRST = 192,
    PIC_BIG_DUCK_UP_LAST = 199,
    // Far ducks, the same two ways.
    PIC_SMALL_DUCK_UP_FIRST = 200,
    PIC_SMALL_DUCK_UP_LAST = 207,
    PIC_SMALL_DUCK_DOWN_FIRST = 208,
    PIC_SMALL_DUCK_DOWN_LAST = 215,
    // Seven shells down to none, then the blinking Reload sign.
    PIC_MAGAZINE_FIRST = 244,
    PIC_MAGAZINE_LAST = 252,
    // Behind the points of a near duck.
    PIC_LARGE_BADGE = 253,
    PIC_SMALL_BADGE = 254,
    // The round's digits and capitals.
    PIC_GAME_FONT = 255,
    // Where a shot missed.
    PIC_SHOT_PUFF_FIRST = 256,
    PIC_SHOT_PUFF_LAST = 260,
    // Scenery: the reed bed in the middle of the shore.
    PIC_REEDS_1 = 261,
    PIC_REEDS_2 = 262,
    PIC_REEDS_3 = 263,
    PIC_REEDS_4 = 264,
    PIC_REEDS_5 = 265,
    PIC_REEDS_6 = 266,
    PIC_REEDS_7 = 267,
    // Opens the pause menu.
    PIC_MENU_ICON = 269,
    // Feathers of a hit near duck.
    PIC_LARGE_BURST_FIRST = 270,
    PIC_LARGE_BURST_LAST = 276,
    PIC_SMALL_BURST_FIRST = 277,
    PIC_SMALL_BURST_LAST = 283,
    // Scenery: the tree at the right end.
    PIC_TREE_1 = 284,
    PIC_TREE_2 = 285,
    PIC_TREE_3 = 286,
    PIC_TREE_4 = 287,
    PIC_TREE_5 = 289,
    PIC_TREE_6 = 290,
    PIC_TREE_7 = 291,
    // Scenery: the boat hut at the left end.
    PIC_HUT_1 = 292,
    PIC_HUT_2 = 293,
    PIC_HUT_3 = 294,
    PIC_HUT_4 = 295,
    PIC_HUT_5 = 296,
    // Scenery along the bottom edge.
    PIC_REED_CLUMP = 297,
    PIC_CATTAIL = 298,
    PIC_GRASS_TUFT = 299,
    PIC_PEBBLE = 300,
    PIC_BANK = 301,
    PIC_HIDDEN_TARGET = 302,
    PIC_FISHERMAN = 303,
    // Three ducks, each with its own sign.
    PIC_SIGN_DUCKS = 304,
    // The sign duck drops its sign and flies off.
    PIC_SIGN_DROP_FIRST = 307,
    PIC_SIGN_DROP_LAST = 312,
    // A drifting leaf.
    PIC_LEAF_FIRST = 313,
    PIC_LEAF_LAST = 324,
    PIC_CLOCK_PLUS = 325,
    PIC_CLOCK_MINUS = 326,
    PIC_BONUS_ITEM = 327,
    PIC_SWIMMER_BACK = 328,
    PIC_SWIMMER_OUT = 329,
    PIC_RED_BIRD_DOWN_FIRST = 330,
    PIC_RED_BIRD_DOWN_LAST = 334,
    PIC_RED_BIRD_UP_FIRST = 335,
    PIC_RED_BIRD_UP_LAST = 339,
    PIC_RED_BIRD_FALLING = 340,
    PIC_LEAF_BURST_FIRST = 341,
    PIC_LEAF_BURST_LAST = 346,
    PIC_MINUS_FIFTY = 347,
    PIC_PLUS_ONE = 348,
    PIC_PLUS_FIFTY = 349,
    PIC_GAME_OVER = 510,
    PIC_LOADING = 581,
    // The screens around it.
    // Stored upright for the player, unlike every other picture.
    PIC_EMBLEM = 350,
    PIC_STUDIO_LOGO = 351,
    PIC_SKIP = 352,
    PIC_SKIP_PRESSED = 353,
    PIC_MENU_BACKGROUND = 355,
    PIC_MENU_OPTIONS = 358,
    PIC_MENU_OPTIONS_PRESSED = 359,
    PIC_MENU_EXIT = 360,
    PIC_MENU_EXIT_PRESSED = 361,
    PIC_MENU_HELP = 362,
    PIC_MENU_HELP_PRESSED = 363,
    // The player's name is stamped in at run time.
    PIC_MENU_NAME = 364,
    PIC_MENU_NAME_PRESSED = 365,
    PIC_MENU_NEW_GAME = 366,
    PIC_MENU_NEW_GAME_PRESSED = 367,
    PIC_MENU_SCORE = 368,
    PIC_MENU_SCORE_PRESSED = 369,
    PIC_OPTIONS_BACKGROUND = 370,
    PIC_OPTIONS_OK = 371,
    PIC_OPTIONS_OK_PRESSED = 372,
    PIC_OPTIONS_CANCEL = 373,
    PIC_OPTIONS_CANCEL_PRESSED = 374,
    PIC_CHECK_TICKED = 375,
    PIC_CHECK_EMPTY = 376,
    PIC_KNOB = 377,
    PIC_KNOB_PRESSED = 378,
    PIC_SOUND_TRACK = 379,
    PIC_MUSIC_TRACK = 380,
    PIC_HELP_BACKGROUND = 383,
    // Normal, then pressed.
    PIC_HELP_PREVIOUS = 384,
    PIC_HELP_CREDITS = 386,
    PIC_HELP_NEXT = 388,
    PIC_HELP_OK = 390,
    PIC_SCORES_OK = 392,
    PIC_SCORES_OK_PRESSED = 393,
    PIC_SCORES_RESET = 394,
    PIC_SCORES_RESET_PRESSED = 395,
    PIC_SCORES_STATS = 396,
    PIC_SCORES_STATS_PRESSED = 397,
    PIC_SCORES_BACKGROUND = 398,
    PIC_HELP_ABOUT = 399,
    PIC_HELP_PAGE_FIRST = 401,
    PIC_HELP_PAGE_LAST = 406,
    PIC_CREDITS_LINE_1 = 407,
    PIC_CREDITS_LINE_2 = 408,
    PIC_CREDITS_LINE_3 = 409,
    PIC_CREDITS_LINE_4 = 410,
    PIC_CREDITS_LINE_5 = 411,
    PIC_CREDITS_LINE_6 = 412,
    PIC_CREDITS_LINE_7 = 413,
    PIC_CREDITS_LINE_8 = 415,
    PIC_CREDITS_LINE_9 = 416,
    PIC_CREDITS_LINE_10 = 417,
    PIC_CREDITS_LINE_11 = 418,
    PIC_CREDITS_LINE_12 = 419,
    PIC_CREDITS_LINE_13 = 420,
    PIC_CREDITS_TITLE = 421,
    PIC_NAME_OK = 422,
    PIC_NAME_CANCEL = 424,
    // Keys of the name entry, each normal then pressed.
    PIC_KEY_0 = 426,
    // Keys 1 to 9.
    PIC_KEY_1 = 428,
    // Keys A to I.
    PIC_KEY_A = 446,
    // Keys J to R.
    PIC_KEY_J = 464,
    // Keys S to Z.
    PIC_KEY_S = 482,
    PIC_KEY_SPACE = 498,
    PIC_KEY_BACKSPACE = 500,
    PIC_NAME_BACKGROUND = 502,
    // The screens' digits and capitals.
    PIC_MENU_FONT = 503,
    PIC_SCORES_TABLE = 504,
    PIC_SCORES_TABLE_PRESSED = 505,
    // Beside the newest entry of the table.
    PIC_NEWEST_MARK = 506,
    PIC_ABOUT = 509,
    PIC_PAUSE_PANEL = 518,
    PIC_PAUSE_EXIT = 519,
    PIC_PAUSE_HELP = 521,
    PIC_PAUSE_OPTIONS = 523,
    PIC_PAUSE_RESUME = 525,
    PIC_PAUSE_SCORE = 527,
    PIC_CONFIRM_BOX = 532,
    PIC_CONFIRM_OK_PRESSED = 533,
    PIC_CONFIRM_CANCEL_PRESSED = 534,
    PIC_TITLE_BACKGROUND = 583,
    // The blinking prompt to tap the screen.
    PIC_TITLE_PROMPT = 584,
};
