// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/IDialogs.h"

#include <string>
#include <vector>

namespace tarvo {

// A window's size in pixels at scale 1; 0 x 0 until the user has sized it.
struct WindowSize {
    int width = 0;
    int height = 0;
    bool IsSet() const { return width > 0 && height > 0; }
    bool operator==(const WindowSize&) const = default;
};

// How a table was left: its columns' widths (none until the user widens
// one) and the column its rows are sorted by (-1: none), downwards or not.
struct TableView {
    std::vector<int> widths;
    int sortColumn = -1;
    bool descending = false;
    bool operator==(const TableView&) const = default;
};

// The playlist files the settings named when read: the user's own, and the
// one kept when Tarvo was stopped before it could ask.
struct PlaylistPaths {
    std::string named;
    std::string temporary;
    bool operator==(const PlaylistPaths&) const = default;
};

// Where the last recording was kept, and its format ("wav", "flac", "ogg").
// Where the sound goes and how loud: the listener's volume, 0 to 100 (on the
// device's sound alone), and the output device by the name the system gives
// it (empty: the system's default).
struct SoundOutput {
    int volume = 100;
    std::string device;
    bool operator==(const SoundOutput&) const = default;
};

struct RecordingPlace {
    std::string folder;
    std::string format = "wav";
    bool operator==(const RecordingPlace&) const = default;
};

// The bounds of the listening settings, as Options and Tarvo.ini keep them.
inline constexpr int kMostLoops = 100;
inline constexpr int kLongestFadeSeconds = 60;

// Every setting of "Tarvo.ini", one field per key, with its default.
struct Config {
    int ROMFilter = 1;
    int ShowBlanks = 0;
    int Normalize = 0;
    int EnforceLoopTime = 0;
    int MaxLoopTime = 300;
    int MaxWAVTime = 300;
    int OnSilence = 1;
    int AutoMark = 1;
    int UseVUGradient = 1;
    int VUSegmentWidth = 5;
    RgbColor VULeftColor{0, 255, 0};
    RgbColor VUMidColor{255, 255, 0};
    RgbColor VURightColor{255, 0, 0};
    int Shuffle = 0;
    int PlaylistMode = 0;
    PlaylistPaths Playlists;
    // How a tune of known length plays: to its end (a loop this many times,
    // then a fade of so many seconds), or on until the user or a limit stops it.
    int PlayKnownLength = 1;
    int LoopCount = 2;
    int FadeSeconds = 8;
    // The listener's volume on what the device plays, 0 to 100 %.
    SoundOutput Output;
    RecordingPlace LastRecording;
    WindowSize MainWindowSize;
    WindowSize PlaylistManagerSize;
    WindowSize GameBrowserSize;
    TableView GameBrowserView;

    bool operator==(const Config&) const = default;
};

enum class OnSilencePolicy { DoNothing = 0, StopPlayer = 1, RepeatClip = 2, NextClip = 3 };

} // namespace tarvo
