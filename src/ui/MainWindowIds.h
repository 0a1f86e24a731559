// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tarvo {

// The main window's controls, by their numbers in its layout table.
enum MainWindowControl {
    kGameTitle = 1001,
    kDriver = 1002,
    kRomFile = 1003,
    kParent = 1004,
    kLoad = 1005,
    kBrowserTitle = 1006,
    kPlaySelected = 1007,
    kManufacturer = 1008,
    kClipNumber = 1009,
    kClipTitle = 1010,
    kShowBlanks = 1012,
    kShuffle = 1013,
    kLeftMeter = 1016,
    kNormalize = 1019,
    kStop = 1020,
    kVolume = 1021,
    kOptions = 1022,
    kBrowse = 1023,
    kPlay = 1024,
    kRec = 1025,
    kPrev = 1026,
    kNext = 1027,
    kClipList = 1034,
    kPlaylistManager = 1037,
    kSwitchMode = 1038,
    kElapsed = 1045,
    kRightMeter = 1061,
    kBrowserGroup = 1073,
    kPositionBar = 1074,
    kVolumeSlider = 1075,
};

// The menu commands, by the numbers their items carry.
enum MainWindowCommand {
    kExit = 2,
    kToggleBlank = 131,
    kSetLast = 132,
    kSetFirst = 135,
    kSelectGame = 168,
    kNewRange = 176,
    kImport = 177,
    kExportGame = 178,
    kExportAll = 179,
    kOpenOptions = 180,
    kMenuShowBlanks = 181,
    kMenuShuffle = 182,
    kMenuRomMode = 183,
    kMenuPlaylistMode = 184,
    kMenuNormalize = 185,
    kPrank = 187,
    kAbout = 188,
    kMenuBrowser = 189,
    kMenuPlaylistManager = 190,
    kExportAudio = 191,
    kMenuVoices = 192,
    kMenuPlay = 1201,  // plays, or goes on from a pause; never pauses
    kMenuPause = 1202, // pauses, or goes on from a pause
    kVolumeUp = 1203,
    kVolumeDown = 1204,
    kLoadPlaylist = 1067,
    kSavePlaylist = 1069,
};

} // namespace tarvo
