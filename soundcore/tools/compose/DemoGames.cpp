// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/compose/DemoGames.h"

#include "tools/compose/ArcadeBuilder.h"
#include "tools/compose/ImfBuilder.h"
#include "tools/compose/ModuleBuilder.h"
#include "tools/compose/SidBuilder.h"
#include "tools/compose/Song.h"

#include <cmath>
#include <cstdio>
#include <sidplayfp/SidTune.h>

namespace compose {

namespace {

DemoFile SongFile(const std::string& name, const Song& song, const std::string& game) {
    return {name, ToVgm(RenderSong(song), song.loops, song.title, game)};
}

// "10 Sword.vgm" is tagged "Sword".
std::string TitleOfName(const std::string& name) {
    const size_t space = name.find(' ');
    return name.substr(space + 1, name.rfind('.') - space - 1);
}

DemoFile EffectFile(const std::string& name, const std::string& game, int frames,
                    const std::function<Frame(int, int)>& effect) {
    return {name, ToVgm(RenderEffect(frames, effect), false, TitleOfName(name), game)};
}

// HVSC's line for a tune: its MD5, then its length as m:ss.mmm.
std::string SongLengthLine(const Bytes& sid, int ms) {
    SidTune tune(sid.data(), static_cast<uint_least32_t>(sid.size()));
    const char* md5 = tune.createMD5New();
    char length[32];
    std::snprintf(length, sizeof length, "%d:%02d.%03d", ms / 60000, ms / 1000 % 60, ms % 1000);
    return std::string(md5 ? md5 : "") + "=" + length + "\n";
}

double Lerp(double a, double b, int i, int n) {
    return a + (b - a) * i / std::max(1, n - 1);
}

DemoGame TarvoQuest() {
    const std::string game = "Tarvo Quest";
    Song overture{"Overture",
                  7,
                  {"Am", "F", "C", "G", "Am", "F", "G", "E"},
                  "A4/4 C5/2 E5/2 A5/6 G5/2  F5/4 E5/2 C5/2 A4/8  G4/4 C5/2 E5/2 G5/4 E5/4  "
                  "D5/4 B4/2 G4/2 D5/8  A4/2 B4/2 C5/2 E5/2 A5/4 B5/2 C6/2  A5/4 F5/4 C5/4 F5/4  "
                  "G5/2 F5/2 E5/2 D5/2 B4/4 D5/4  E5/8 G#4/4 B4/4",
                  "R.R.O.R.R.R.5.O.",
                  "k.h.s.h.k.khs.h."};
    Song village{"Quiet Village",
                 9,
                 {"C", "Am", "F", "G", "C", "Am", "Dm", "G"},
                 "E5/4 G5/4 C6/4 G5/4  A5/6 G5/2 E5/8  F5/4 A5/4 G5/4 F5/4  D5/8 r/4 B4/4  "
                 "E5/2 F5/2 G5/4 E5/4 C5/4  A4/4 C5/4 E5/8  F5/4 E5/4 D5/4 A4/4  B4/4 D5/4 G5/8",
                 "R...5...O...5...",
                 "k...h...s...h..."};
    village.leadAttenuation = 3;
    village.arpAttenuation = 10;
    Song treasure{"Treasure Found",
                  6,
                  {"C", "C"},
                  "C5/2 E5/2 G5/2 C6/6 B5/2 C6/2  E6/12 r/4",
                  "R.5.O.5.R-------",
                  "k.s.k.s.k.......",
                  false};
    Song gameOver{"Game Over",
                  10,
                  {"Am", "Am"},
                  "E5/4 C5/4 A4/4 G#4/4  A4/12 r/4",
                  "R.......R-------",
                  "k...............",
                  false};
    return {"tarvoquest",
            {SongFile("01 Overture.vgm", overture, game),
             SongFile("02 Quiet Village.vgm", village, game),
             SongFile("04 Treasure Found.vgm", treasure, game),
             SongFile("05 Game Over.vgm", gameOver, game),
             EffectFile("10 Sword.vgm", game, 14,
                        [](int i, int) {
                            Frame f;
                            f.noiseMode = i == 0 ? 0x04 : i == 4 ? 0x05 : i == 8 ? 0x06 : -1;
                            f.attenuation[3] = std::min(15, 1 + i);
                            return f;
                        }),
             EffectFile("11 Coin.vgm", game, 18,
                        [](int i, int) {
                            Frame f;
                            f.period[0] = VgmBuilder::PeriodOf(i < 4 ? 987.8 : 1318.5);
                            f.attenuation[0] = i < 4 ? 2 : std::min(15, 2 + (i - 4) / 2);
                            return f;
                        }),
             EffectFile("12 Jump.vgm", game, 12, [](int i, int n) {
                 Frame f;
                 f.period[0] = VgmBuilder::PeriodOf(Lerp(220, 880, i, n));
                 f.attenuation[0] = 3 + i / 3;
                 return f;
             })}};
}

DemoGame PixelRacer() {
    const std::string game = "Pixel Racer";
    Song highway{
        "Neon Highway",
        5,
        {"Em", "C", "D", "B", "Em", "C", "D", "D"},
        "E5/2 G5/2 B5/2 E6/2 D6/2 B5/2 G5/2 B5/2  C6/6 B5/2 G5/4 E5/4  "
        "F#5/2 A5/2 D6/2 F#6/2 E6/2 D6/2 A5/4  D#6/8 B5/4 F#5/4  E6/4 D6/2 B5/2 G5/4 B5/4  "
        "C6/4 E6/4 G6/4 E6/4  D6/2 C6/2 B5/2 A5/2 F#5/4 A5/4  D6/8 F#6/8",
        "R.ROR.ROR.ROR.5O",
        "k.h.s.hkk.h.s.hs"};
    Song finish{"Finish Line",
                5,
                {"G", "G"},
                "G5/2 B5/2 D6/2 G6/6 F#6/2 G6/2  B6/12 r/4",
                "R.5.O.5.R-------",
                "k.k.s.k.s.......",
                false};
    // Archived compressed, as many collections are.
    DemoFile race = SongFile("00 Neon Highway.vgz", highway, game);
    race.data = Gzip(race.data);
    DemoFile results = SongFile("01 Finish Line.vgz", finish, game);
    results.data = Gzip(results.data);
    return {"pixelracer",
            {race, results,
             EffectFile("03 Engine.vgm", game, 90,
                        [](int i, int n) {
                            Frame f;
                            const double wobble = 6 * std::sin(i * 0.9);
                            f.period[0] = VgmBuilder::PeriodOf(Lerp(110, 230, i, n) + wobble);
                            f.period[1] = VgmBuilder::PeriodOf(Lerp(111, 232, i, n) - wobble);
                            f.attenuation[0] = f.attenuation[1] = i < n - 10 ? 5 : 5 + (i - n + 10);
                            return f;
                        }),
             EffectFile("07 Boost.vgm", game, 30, [](int i, int n) {
                 Frame f;
                 f.period[0] = VgmBuilder::PeriodOf(Lerp(300, 1500, i, n));
                 f.attenuation[0] = 2 + i / 4;
                 f.noiseMode = i == 0 ? 0x04 : -1;
                 f.attenuation[3] = std::min(15, 6 + i / 2);
                 return f;
             })}};
}

DemoGame StarMoth() {
    const std::string game = "Star Moth";
    Song swarm{"Moonlit Swarm",
               7,
               {"Dm", "Bb", "C", "Am", "Dm", "Bb", "C", "D"},
               "D5/4 F5/4 A5/6 G5/2  F5/4 D5/4 Bb4/8  C5/4 E5/4 G5/4 C6/4  A5/8 E5/8  "
               "D6/2 C6/2 A5/4 F5/4 A5/4  Bb5/4 A5/4 F5/4 D5/4  E5/4 G5/4 C6/4 E6/4  F#5/8 A5/8",
               "R..RR..5R..RO.5.",
               "k.h.s.h.k.h.s.hh"};
    Song queen{"Hive Queen",
               5,
               {"Cm", "Ab", "Bb", "G", "Cm", "Ab", "Bb", "G"},
               "C5/2 C5/2 Eb5/2 G5/2 C6/4 Bb5/2 G5/2  Ab5/4 G5/2 Eb5/2 C5/8  "
               "Bb4/2 D5/2 F5/2 Bb5/2 A5/4 F5/4  G5/4 B5/4 D6/8  Eb6/4 D6/2 C6/2 G5/4 Eb5/4  "
               "C6/4 Ab5/4 Eb5/4 C5/4  D6/2 C6/2 Bb5/2 A5/2 F5/4 D5/4  G5/4 D5/4 B4/4 G4/4",
               "RRORRROR5R5RRROR",
               "k.kks.k.k.kks.ss"};
    queen.arpAttenuation = 8;
    Song clear{"Stage Clear",
               6,
               {"F", "F"},
               "F5/2 A5/2 C6/2 F6/6 E6/2 F6/2  A6/12 r/4",
               "R.5.O.5.R-------",
               "k.s.k.s.k.......",
               false};
    return {"starmoth",
            {SongFile("01 Moonlit Swarm.vgm", swarm, game),
             SongFile("02 Hive Queen.vgm", queen, game),
             SongFile("05 Stage Clear.vgm", clear, game),
             EffectFile("20 Laser.vgm", game, 10,
                        [](int i, int n) {
                            Frame f;
                            f.period[0] = VgmBuilder::PeriodOf(Lerp(2000, 300, i, n));
                            f.attenuation[0] = 1 + i;
                            return f;
                        }),
             EffectFile("21 Explosion.vgm", game, 40, [](int i, int n) {
                 Frame f;
                 f.noiseMode = i == 0 ? 0x06 : i == 12 ? 0x07 : -1;
                 f.period[2] = VgmBuilder::PeriodOf(Lerp(120, 60.0 * 2, i, n));
                 f.attenuation[3] = std::min(15, i / 3);
                 f.attenuation[2] = std::min(15, 4 + i / 3);
                 return f;
             })}};
}

// A tracker game: one module whose two songs are subsongs, named in its
// sample texts.
DemoGame TideRunner() {
    ModuleBuilder module("Tide Runner");
    module.AddTune({"Harbour Lights",
                    "D5/4 F#5/4 A5/4 D6/4  C#6/4 A5/4 E5/8  B4/4 D5/4 G5/4 B5/4  A5/8 F#5/8",
                    "D3/8 D3/8 A2/8 A2/8 G2/8 G2/8 D3/8 A2/8", 6});
    module.AddTune(
        {"Storm Chase",
         "A5/2 C6/2 E6/2 A5/2 G5/2 B5/2 D6/2 G5/2  F5/2 A5/2 C6/2 F5/2 E5/4 G#5/4  "
         "A5/2 C6/2 E6/2 A6/2 G6/2 E6/2 C6/2 G5/2  F5/4 D5/4 E5/8",
         "A2/4 A3/4 A2/4 A3/4 G2/4 G3/4 G2/4 G3/4 F2/4 F3/4 F2/4 F3/4 E2/4 E3/4 E2/4 E3/4", 4});
    return {"tiderunner", {{"tiderunner.mod", module.Finish("Tarvo Demo Works")}}};
}

// A Commodore 64 game: a PSID file a tune, with HVSC's song lengths beside.
DemoGame CometMiner() {
    const std::vector<std::pair<std::string, LeadAndBass>> tunes = {
        {"01",
         {"Surface",
          "E5/2 G5/2 B5/4 A5/2 G5/2 E5/4  D5/2 E5/2 G5/4 B4/8  C5/4 E5/4 G5/4 C6/4  "
          "B5/8 r/4 B4/4",
          "E2/4 E3/4 E2/4 E3/4 D2/4 D3/4 D2/4 D3/4 C2/4 C3/4 C2/4 C3/4 B1/4 B2/4 B1/4 B2/4", 6}},
        {"02",
         {"Deep Shaft", "A4/6 C5/2 B4/4 G4/4  A4/8 E4/8  F4/6 A4/2 G4/4 E4/4  D#4/8 E4/8",
          "A1/8 A1/8 A1/8 A1/8 F1/8 F1/8 E1/8 E1/8", 8}},
        {"05", {"Game Over", "E5/4 C5/4 A4/4 G#4/4 A4/12 r/4", "A2/16 A2/12 r/4", 8}}};
    DemoGame game{"cometminer", {}};
    std::string lengths = "[Database]\n";
    for (const auto& [number, tune] : tunes) {
        SidBuilder sid(tune.name, "Tarvo Demo Works", "2026 Tarvo Demo Works");
        sid.AddTune(tune);
        game.files.push_back({number + " " + tune.name + ".sid", sid.Finish()});
        const int ms = tune.Steps() * tune.framesPerStep * 1000 / SidBuilder::kFramesPerSecond;
        lengths += SongLengthLine(game.files.back().data, ms);
    }
    game.files.push_back({"Songlengths.md5", Bytes(lengths.begin(), lengths.end())});
    return game;
}

// A DOS game with AdLib music: an IMF file a tune.
DemoGame EmberCrypt() {
    const std::vector<std::pair<std::string, LeadAndBass>> tunes = {
        {"01",
         {"Torchlit Halls",
          "D5/4 F5/4 A5/4 G5/2 F5/2  E5/4 C5/4 D5/8  F5/4 A5/4 C6/4 Bb5/2 A5/2  G5/8 A5/8",
          "D2/8 D2/8 C2/8 C2/8 Bb1/8 Bb1/8 A1/8 A1/8", 7}},
        {"02",
         {"Ember Guardian",
          "E5/2 E5/2 G5/2 E5/2 A5/2 E5/2 Bb5/2 A5/2  G5/2 E5/2 D5/2 E5/2 G5/4 E5/4  "
          "E5/2 E5/2 G5/2 E5/2 B5/2 A5/2 G5/2 E5/2  D5/4 C#5/4 E5/8",
          "E2/2 E3/2 E2/2 E3/2 E2/2 E3/2 E2/2 E3/2 E2/2 E3/2 E2/2 E3/2 E2/2 E3/2 E2/2 E3/2 "
          "E2/2 E3/2 E2/2 E3/2 E2/2 E3/2 E2/2 E3/2 E2/2 E3/2 E2/2 E3/2 E2/2 E3/2 E2/2 E3/2",
          5}},
        {"04",
         {"Crypt Cleared", "D5/2 F#5/2 A5/2 D6/6 C#6/2 D6/2 F#6/12 r/4", "D2/8 A2/8 D2/12 r/4",
          6}}};
    DemoGame game{"embercrypt", {}};
    for (const auto& [number, tune] : tunes)
        game.files.push_back({number + " " + tune.name + ".imf", ToImf(tune, "Tarvo Demo Works")});
    return game;
}

// An arcade game of a board: three tunes (the last a jingle) and two effects.
DemoGame ArcadeGame(const std::string& romName, const std::string& title, ArcadeBoard board,
                    const std::vector<std::pair<std::string, LeadAndBass>>& tunes) {
    DemoGame game{romName, {}};
    for (const auto& [number, tune] : tunes) {
        const bool jingle = number >= "05";
        game.files.push_back(
            {number + " " + tune.name + ".vgm", ToArcadeVgm(tune, board, !jingle, title)});
    }
    game.files.push_back({"20 Laser.vgm", ArcadeEffect("Laser", board, 96, 60, 20, title)});
    game.files.push_back({"21 Power Up.vgm", ArcadeEffect("Power Up", board, 60, 96, 30, title)});
    return game;
}

DemoGame NeonDragon() {
    return ArcadeGame(
        "neondragon", "Neon Dragon", ArcadeBoard::Oki,
        {{"01",
          {"Dragon Gate",
           "E5/2 G5/2 A5/4 G5/2 E5/2 D5/4  E5/2 G5/2 A5/2 C6/2 B5/4 A5/4  "
           "G5/2 E5/2 D5/2 C5/2 D5/4 E5/4  A4/8 r/8",
           "A2/4 A3/4 A2/4 A3/4 F2/4 F3/4 F2/4 F3/4 G2/4 G3/4 G2/4 G3/4 A2/4 A3/4 A2/4 A3/4", 5}},
         {"02",
          {"Night Market", "C5/4 E5/4 G5/4 E5/4  F5/4 A5/4 G5/8  E5/4 D5/4 C5/4 D5/4  E5/16",
           "C3/8 G2/8 F2/8 G2/8 C3/8 G2/8 C3/16", 6}},
         {"05", {"Round Clear", "C5/2 E5/2 G5/2 C6/6 G5/2 C6/8 r/4", "C3/8 G2/8 C3/8 r/4", 5}}});
}

DemoGame CoastRider() {
    return ArcadeGame(
        "coastrider", "Coast Rider", ArcadeBoard::SegaPcm,
        {{"01",
          {"Sunset Boulevard",
           "D5/2 F#5/2 A5/4 B5/2 A5/2 F#5/4  E5/2 F#5/2 A5/2 D6/2 C#6/8  "
           "B5/2 A5/2 F#5/2 E5/2 D5/4 E5/4  F#5/8 r/8",
           "D3/4 D3/4 A2/4 A2/4 B2/4 B2/4 A2/4 A2/4 G2/4 G2/4 D3/4 D3/4 A2/4 A2/4 D3/8", 5}},
         {"02",
          {"Palm Highway", "A4/4 C#5/4 E5/4 A5/4  G#5/4 E5/4 B4/8  F#5/4 E5/4 D5/4 C#5/4  B4/16",
           "A2/8 E2/8 A2/8 E2/8 D2/8 E2/8 E2/16", 5}},
         {"05", {"Checkpoint", "A5/2 C#6/2 E6/2 A6/6 E6/2 A6/8 r/4", "A2/8 E3/8 A2/8 r/4", 4}}});
}

// A Neo Geo-style board: the YM2610's FM, its SSG and its ADPCM-A drums.
DemoGame StormBlade() {
    return ArcadeGame(
        "stormblade", "Storm Blade", ArcadeBoard::Ym2610,
        {{"01",
          {"Thunder Pass",
           "A4/2 C5/2 E5/4 D5/2 C5/2 B4/4  C5/2 E5/2 A5/4 G5/4 E5/4  "
           "F5/2 E5/2 D5/2 C5/2 B4/4 G#4/4  A4/8 r/8",
           "A2/4 A3/4 A2/4 A3/4 F2/4 F3/4 F2/4 F3/4 D2/4 D3/4 E2/4 E3/4 A2/4 A3/4 A2/4 A3/4", 5}},
         {"02",
          {"Steel Harbour", "E5/4 G5/4 B5/4 G5/4  C6/4 B5/4 A5/8  G5/4 F#5/4 E5/4 F#5/4  G5/16",
           "E3/8 B2/8 C3/8 D3/8 E3/8 B2/8 E3/16", 6}},
         {"05", {"Mission Clear", "E5/2 G#5/2 B5/2 E6/6 B5/2 E6/8 r/4", "E3/8 B2/8 E3/8 r/4", 5}}});
}

// A Toaplan- or Data East-style board: the YM3812's FM and an OKIM6295's drums.
DemoGame IronWing() {
    return ArcadeGame(
        "ironwing", "Iron Wing", ArcadeBoard::Ym3812,
        {{"01",
          {"Sky Fortress",
           "G4/2 B4/2 D5/4 C5/2 B4/2 A4/4  B4/2 D5/2 G5/4 F#5/4 D5/4  "
           "E5/2 D5/2 C5/2 B4/2 A4/4 F#4/4  G4/8 r/8",
           "G2/4 G3/4 G2/4 G3/4 E2/4 E3/4 C2/4 C3/4 A2/4 A3/4 D2/4 D3/4 G2/4 G3/4 G2/4 G3/4", 5}},
         {"02",
          {"Cloud Base", "D5/4 F5/4 A5/4 F5/4  Bb5/4 A5/4 G5/8  F5/4 E5/4 D5/4 E5/4  F5/16",
           "D3/8 A2/8 Bb2/8 C3/8 D3/8 A2/8 D3/16", 6}},
         {"05", {"Area Clear", "D5/2 F#5/2 A5/2 D6/6 A5/2 D6/8 r/4", "D3/8 A2/8 D3/8 r/4", 5}}});
}

} // namespace

std::vector<DemoGame> ComposeDemoGames() {
    return {TarvoQuest(), PixelRacer(), StarMoth(),   TideRunner(), CometMiner(),
            EmberCrypt(), NeonDragon(), CoastRider(), StormBlade(), IronWing()};
}

} // namespace compose
