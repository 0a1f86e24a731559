// SPDX-License-Identifier: GPL-3.0-or-later
// The arcade demo games' boards as the composer writes them: each board's
// notes at their pitch on its FM, its drums on its sample chip.
#include "engines/VgmEngine.h"
#include "soundcore/ChipMeasures.h"
#include "tools/compose/ArcadeBuilder.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tarvo::test;

// An A4 held on each board's lead, every other voice muted, sounds at 440 Hz
// once the snare struck with it has died away; the drums alone sound too.
TEST(ArcadeBoards, TheLeadSoundsAtItsPitchAndTheDrumsOnTheSampleChip) {
    using compose::ArcadeBoard;
    for (const ArcadeBoard board :
         {ArcadeBoard::Oki, ArcadeBoard::SegaPcm, ArcadeBoard::Ym2610, ArcadeBoard::Ym3812}) {
        SCOPED_TRACE(compose::BoardSystem(board));
        tarvocore::CVgmEngine engine;
        std::string error;
        ASSERT_TRUE(engine.Open(compose::ArcadeEffect("A", board, 69, 69, 60, "Test"), {}, error));
        ASSERT_TRUE(engine.Start(0, error)) << error;
        const std::vector<std::string> voices = engine.Voices();
        // The lead is the board's first FM voice; the drums are the sample chip's.
        const auto leadAt = std::find_if(voices.begin(), voices.end(), [](const std::string& v) {
            return v.rfind("YM", 0) == 0;
        });
        std::vector<bool> allButLead(voices.size(), true), allButDrums(voices.size());
        allButLead[static_cast<size_t>(leadAt - voices.begin())] = false;
        for (size_t v = 0; v < voices.size(); ++v)
            allButDrums[v] = voices[v].find("OKIM6295") == std::string::npos &&
                             voices[v].find("SegaPCM") == std::string::npos &&
                             voices[v].find("ADPCM-A") == std::string::npos;
        engine.MuteVoices(allButLead);
        const std::vector<int16_t> lead = RenderAll(engine, 44100);
        const std::vector<int16_t> late(lead.begin() + 2 * 11025, lead.end());
        EXPECT_NEAR(Cents(PitchOf(late, 0), 440.0), 0, 5);

        ASSERT_TRUE(engine.Start(0, error));
        engine.MuteVoices(allButDrums);
        EXPECT_GT(PeakOf(RenderAll(engine, 4410), 0, 4410), 2000); // the snare
    }
}
