/* SPDX-License-Identifier: GPL-3.0-or-later */
/*
 * The sound core's C interface: six operations the player calls and one
 * callback through which the core reports back. Any library that implements
 * these entry points can take the place of the shipped core.
 *
 * Integers are 32-bit signed. Texts returned by CoreGetString belong to the
 * core; the caller copies them at once. Every message is delivered on the
 * caller's thread, from inside one of the operations below.
 *
 * The callback runs inside the core's own call, so it must not call the core
 * again, open a window or run an event loop: a player copies the message and
 * acts on it once the operation that caused it has returned. The requests
 * for a path (CORE_MSG_ROM_PATH, CORE_MSG_WAV_PATH, CORE_MSG_EXPORT_PATH,
 * CORE_MSG_LOUDNESS_PATH)
 * are answered within the callback, from what the player knows.
 */
#ifndef TARVO_CORE_H
#define TARVO_CORE_H

#ifdef __cplusplus
extern "C" {
#endif

/* The callback: user pointer given to CoreInit, message code, first parameter
 * (a text, a buffer or samples, by code) and a second integer parameter. */
#if defined(TARVOCORE_EXPORTS)
#define TARVO_CORE_API __attribute__((visibility("default")))
#else
#define TARVO_CORE_API
#endif

typedef int (*CoreMessageCallback)(void* user, int code, void* first, int second);

TARVO_CORE_API void CoreInit(void* user,
                             CoreMessageCallback callback);       /* export 906; result ignored */
TARVO_CORE_API void CoreShutdown(void);                           /* export 916; result ignored */
TARVO_CORE_API int CoreGetInt(int code, int argument);            /* export 904 */
TARVO_CORE_API const char* CoreGetString(int code, int argument); /* export 905 */
TARVO_CORE_API void CoreCommand(int code, int argument);          /* export 907; result ignored */
TARVO_CORE_API void CoreSetOption(int code, int value);           /* export 914; result ignored */

/* CoreGetInt codes */
enum {
    CORE_INT_GAME_COUNT = 1,     /* argument 0: games are numbered 0 .. n-1 */
    CORE_INT_CURRENT_CLIP = 2,   /* argument 0: the clip the core holds now */
    CORE_INT_LOADED_GAME = 3,    /* argument 0: the game the core has loaded */
    CORE_INT_DRIVER_OF_GAME = 8, /* argument game: its driver number */
    /* Shipped core only. argument game: 1 when its catalogue line came from
     * tarvo-add (the user may rename it), else 0 */
    CORE_INT_GAME_IS_ADDED = 9,

    /* The loaded game's tunes, as far as its files tell (this core's own codes;
     * a core that does not know them answers 0 to CORE_INT_TUNE_TABLE, and the
     * player then asks nothing more). */
    CORE_INT_TUNE_TABLE = 20, /* argument 0: 1 when the codes below answer */
    CORE_INT_LAST_TUNE = 21,  /* argument 0: the highest clip number with a tune, -1 none */
    CORE_INT_HAS_TUNE = 22,   /* argument clip: 1 when the clip has a tune, else 0 */
    /* argument clip: its length in ms, -1 unknown: a length its file states,
     * or for a tune that loops its intro, its loop as many times as
     * CORE_OPT_LOOP_COUNT says and the fade of CORE_OPT_TUNE_FADE_MS */
    CORE_INT_TUNE_LENGTH = 23,
    /* argument 0: thousandths of the export under way, -1 when none runs */
    CORE_INT_EXPORT_PROGRESS = 24,
    /* argument 0: how far into the clip playing the sound heard is, in ms */
    CORE_INT_POSITION_MS = 25,
    /* argument 0: the voices (a chip's channels) of the clip last started */
    CORE_INT_VOICE_COUNT = 26,
    CORE_INT_VOICE_MUTED = 27, /* argument voice: 1 when muted, else 0 */
    /* Shipped core only, argument 0: the sound output devices the system has
     * now, named by CORE_STR_OUTPUT_DEVICE and chosen by CORE_OPT_OUTPUT_DEVICE */
    CORE_INT_OUTPUT_DEVICE_COUNT = 28
};

/* CoreGetString codes */
enum {
    CORE_STR_ROM_NAME = 0,     /* argument game: short name of its ROM set */
    CORE_STR_TITLE = 1,        /* argument game: full title */
    CORE_STR_EXTRA_INFO = 2,   /* argument game: a further text, often empty */
    CORE_STR_VERSION = 3,      /* argument 0: the core's version text */
    CORE_STR_MANUFACTURER = 4, /* argument game */
    CORE_STR_DRIVER_NAME = 5,  /* argument driver number */
    CORE_STR_TUNE_TITLE = 20,  /* argument clip: its title from the file's tags or name, or "" */
    CORE_STR_VOICE_NAME = 21,  /* argument voice: its name in the emulator's library */
    /* argument n: the name of output device n as last counted, or "" */
    CORE_STR_OUTPUT_DEVICE = 22
};

/* CoreCommand codes */
enum {
    /* argument clip: play it from its start; message 5 tells when it has
     * started, from a later service call while a file is handed over */
    CORE_CMD_PLAY_CLIP = 0,
    /* argument clip or -1: start the game chosen by option 2. The call returns
     * after message 6 (and 11); the game loads meanwhile, and a later service
     * call tells message 1 or 4. */
    CORE_CMD_START_GAME = 1,
    CORE_CMD_UNLOAD = 3, /* stop and unload the current game, or end its load */
    CORE_CMD_PAUSE = 4,
    CORE_CMD_RESUME = 5,
    CORE_CMD_SERVICE = 6, /* made on every 30 ms tick of the player's timer */
    /* Shipped core only. argument clip: render the loaded game's clip into the
     * file named on message 14, FLAC for ".flac", Ogg Vorbis for ".ogg", else
     * WAV, tagged (WAV excepted) with its title, game, maker, year and number:
     * for its known length, else 3 minutes that fade out over their last 8 s.
     * It runs as fast as the emulator goes, beside whatever plays; a later
     * service call tells message 15. */
    CORE_CMD_EXPORT_CLIP = 7,
    CORE_CMD_CANCEL_EXPORT = 8, /* ends the export under way and removes its file */
    /* Shipped core only: reads the catalogues again and appends the games
     * they gained after the known ones, which keep their numbers and take
     * their lines' new texts */
    CORE_CMD_RELOAD_CATALOGUE = 9,
    /* Shipped core only. argument ms: the clip playing goes there, as if it
     * had played there (a clip of known length ends at once when it is past
     * its end). A later service call tells message 16, and message 6 comes
     * first when the seek takes longer than a tick. */
    CORE_CMD_SEEK = 10,
    /* Shipped core only. argument voice: it falls silent, or sounds again
     * (-1: every voice), at once; mutes hold for the game until another loads */
    CORE_CMD_MUTE_VOICE = 11,
    CORE_CMD_UNMUTE_VOICE = 12
};

/* CoreSetOption codes */
enum {
    CORE_OPT_GAME = 2,      /* the game that CORE_CMD_START_GAME starts */
    CORE_OPT_RECORD = 3,    /* 1: record into the file named on message 12; 0: stop */
    CORE_OPT_NORMALIZE = 5, /* 1 or 0 */
    /* Shipped core only, for rendering tools: open no device, render exactly
     * this many milliseconds on each service call, and finish a game's load
     * before CORE_CMD_START_GAME returns (0: back to real time). */
    CORE_OPT_FIXED_RENDER_MS = 100,
    /* Shipped core only: fade the clip out smoothly over this many milliseconds
     * of sound from now, then stay silent until a clip starts (0: no fade). */
    CORE_OPT_FADE_OUT_MS = 101,
    /* Shipped core only: the length of the exports that follow, in ms, with
     * no fade (0: each clip's known length, as at start) */
    CORE_OPT_EXPORT_MS = 102,
    /* Shipped core only: how a tune of known length plays. With 1 (as at
     * start) a clip ends at its length, a looping one fading out over its
     * last CORE_OPT_TUNE_FADE_MS; with 0 it plays on (a loop for ever). */
    CORE_OPT_END_AT_LENGTH = 103,
    CORE_OPT_LOOP_COUNT = 104,   /* passes of a tune's loop, 1 to 100 (2 at start) */
    CORE_OPT_TUNE_FADE_MS = 105, /* 0 to 60000 (8000 at start) */
    /* Shipped core only: the listener's volume, 0 to 100 (100 at start), on
     * the sound sent to the device alone: the level reports, recordings and
     * exports keep the music's own level. */
    CORE_OPT_VOLUME = 106,
    /* Shipped core only: the device the sound goes to, n as last counted by
     * CORE_INT_OUTPUT_DEVICE_COUNT, -1 the system's default (at start). It
     * switches at once; a device that cannot be opened, or goes away while
     * playing, is told once by CORE_MSG_ERROR, and the sound goes on through
     * the default. */
    CORE_OPT_OUTPUT_DEVICE = 107
};

/* Message codes sent through the callback */
enum {
    CORE_MSG_GAME_GONE = 0,
    CORE_MSG_GAME_LOADED = 1, /* first: the game's title */
    CORE_MSG_UNUSED_2 = 2,
    CORE_MSG_DRIVER_INFO = 3, /* first: a text */
    CORE_MSG_LOAD_FAILED = 4,
    CORE_MSG_CLIP_STARTED = 5, /* second: clip number */
    CORE_MSG_BUSY = 6,
    CORE_MSG_STOPPED = 7,
    CORE_MSG_SILENCE = 8,
    CORE_MSG_UNUSED_9 = 9,
    CORE_MSG_LEVELS = 10,      /* first: interleaved stereo int16 frames; second: frame count */
    CORE_MSG_ROM_PATH = 11,    /* first: buffer holding a file name; answer 1 with the path */
    CORE_MSG_WAV_PATH = 12,    /* first: buffer to receive the WAV file name */
    CORE_MSG_ERROR = 13,       /* first: error text */
    CORE_MSG_EXPORT_PATH = 14, /* first: buffer to receive the exported file's name */
    CORE_MSG_EXPORTED = 15,    /* first: NULL when written, else why not; second: the clip */
    CORE_MSG_SEEKED = 16,      /* second: the position in ms the clip now plays from */
    /* Shipped core only. first: buffer to receive the name of the file in
     * which the core keeps the tunes' measured loudness, so each is measured
     * once; answer 1 with it, or 0 to have nothing kept. Asked once a run. */
    CORE_MSG_LOUDNESS_PATH = 17
};

/* The clip number played to silence the core around a recording. */
#define CORE_SILENCE_CLIP 32000

/* Capacity of the buffers of messages 11, 12 and 14, terminating zero included. */
#define CORE_PATH_BUFFER_SIZE 4096

#ifdef __cplusplus
}
#endif

#endif /* TARVO_CORE_H */
