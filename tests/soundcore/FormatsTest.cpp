// SPDX-License-Identifier: GPL-3.0-or-later
// The sound core's own formats and little machines, each through its edges:
// the zip it writes read back as the core reads archives, GD3 tags written
// and read, the emulator protocol's messages cut or padded, HVSC's song
// lengths, and the clip's timeline through its fade and a seek.
#include "archive/RomArchive.h"
#include "archive/ZipWriter.h"
#include "common/EmulatorProtocol.h"
#include "common/SongLengths.h"
#include "common/TagText.h"
#include "playback/ClipTimeline.h"
#include "soundcore/SoundCoreFixture.h"
#include "support/TempFolder.h"
#include "tools/compose/VgmBuilder.h"

#include <numeric>

using namespace tarvo::test;

namespace {

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

} // namespace

// What the zip writer writes, the archive reader reads back byte for byte:
// names with UTF-8 and folders, an empty member, one of a megabyte; only
// music files are read, and the folders drop from their names.
TEST(ZipWriter, WritesWhatTheArchiveReaderReadsBackByteForByte) {
    tarvo::test::TempFolder temp;
    Bytes large(1u << 20);
    std::iota(large.begin(), large.end(), uint8_t{0});
    const Bytes small = Text("Vgm \x01\x02");
    const std::vector<tarvocore::ArchiveMember> members = {
        {"01 Ouverture \xc3\xa9t\xc3\xa9.vgm", small},
        {"tunes/02 Long.vgm", large},
        {"03 Empty.vgm", {}},
        {"notes.txt", Text("not music")}};
    std::string error;
    const std::string path = temp.File("game.zip");
    ASSERT_TRUE(tarvocore::WriteZipArchive(path, tarvocore::ZipEntriesOf(members), error)) << error;
    tarvocore::CRomArchive archive;
    ASSERT_TRUE(archive.Open(path, error)) << error;
    std::vector<std::pair<std::string, size_t>> read;
    for (const tarvocore::ArchiveMember& member : archive.Members())
        read.emplace_back(member.name, member.data.size());
    EXPECT_EQ(read, (std::vector<std::pair<std::string, size_t>>{
                        {"01 Ouverture \xc3\xa9t\xc3\xa9.vgm", small.size()},
                        {"02 Long.vgm", large.size()},
                        {"03 Empty.vgm", 0}}));
    EXPECT_EQ(archive.Members()[1].data, large);
    EXPECT_FALSE(tarvocore::WriteZipArchive(temp.File("missing/folder/game.zip"),
                                            tarvocore::ZipEntriesOf(members), error));
    EXPECT_FALSE(error.empty());
}

// A VGM's tags as the composer writes them (Latin-1 text widened to
// UTF-16) come back as UTF-8; a GD3 block
// that points outside the file, or is cut, gives empty tags, never a read
// past the end.
TEST(Gd3, TagsWrittenAreReadBackAndABrokenBlockGivesNone) {
    Bytes vgm = ToneVgm(100, false);
    compose::AppendGd3(vgm, "Caf\xe9 Theme", "Tarvo Quest", "Sega Master System");
    const tarvocore::Gd3Tags tags = tarvocore::ReadGd3(vgm);
    EXPECT_EQ(tags.title, "Caf\xc3\xa9 Theme");
    EXPECT_EQ(tags.game, "Tarvo Quest");
    EXPECT_EQ(tags.system, "Sega Master System");

    for (size_t cut : {vgm.size() - 1, vgm.size() - 40, vgm.size() / 2}) {
        SCOPED_TRACE(cut);
        const Bytes shorter(vgm.begin(), vgm.begin() + static_cast<long>(cut));
        const tarvocore::Gd3Tags broken = tarvocore::ReadGd3(shorter);
        EXPECT_TRUE(tarvocore::IsValidUtf8(broken.title));
        EXPECT_LE(broken.title.size(), std::string("Caf\xc3\xa9 Theme").size());
    }
    Bytes pointing = vgm;
    compose::PutLe32(pointing, 0x14, 0x7FFFFFF0); // the block "far" past the end
    EXPECT_EQ(tarvocore::ReadGd3(pointing).title, "");
}

// A module's save date or a GD3 date is a date, never a maker's name.
TEST(TagText, DatesAreToldFromMakers) {
    for (const char* date : {"1999-10-29T16:35:36Z", "1991/05/03", "29.10.1999", "1994",
                             "2003-07-01 12:30", "2011-02-03T04:05:06.789+02:00"})
        EXPECT_TRUE(tarvocore::IsDateText(date)) << date;
    for (const char* maker :
         {"1986 Nintendo", "(c) 1991 Sega", "Capcom", "", "12345", "1999-10-29 Team17"})
        EXPECT_FALSE(tarvocore::IsDateText(maker)) << maker;
}

// The emulator protocol's payloads read back as written; a payload cut short
// or claiming more than it holds reads as not Ok, with zeros and empty texts
// rather than bytes from beyond it.
TEST(EmulatorProtocol, PayloadsReadBackAndCutOnesAreNotOk) {
    tarvocore::CMessageWriter writer;
    writer.Number(7);
    writer.Text("tune.sid");
    writer.Data(Text("data"));
    writer.Flags({true, false, true});
    tarvocore::CMessageReader reader(writer.Payload());
    EXPECT_EQ(reader.Number(), 7u);
    EXPECT_EQ(reader.Text(), "tune.sid");
    EXPECT_EQ(reader.Data(), Text("data"));
    EXPECT_EQ(reader.Flags(), (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(reader.Ok());

    const Bytes whole = writer.Payload();
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        const Bytes cutShort(whole.begin(), whole.begin() + long(cut));
        tarvocore::CMessageReader shorter(cutShort); // it reads the bytes where they are
        shorter.Number();
        shorter.Text();
        const Bytes data = shorter.Data();
        shorter.Flags();
        EXPECT_FALSE(shorter.Ok()) << cut;
        EXPECT_LE(data.size(), 4u);
    }
    tarvocore::CMessageWriter lying;
    lying.Number(0xFFFFFFF0); // a text's length far beyond the payload
    tarvocore::CMessageReader liar(lying.Payload());
    EXPECT_EQ(liar.Text(), "");
    EXPECT_FALSE(liar.Ok());
}

// HVSC's lengths: minutes, seconds and milliseconds for each subtune; a
// line the database does not hold, or a length it cannot read, says so.
TEST(SongLengths, ReadsEachSubtunesLengthAndSaysWhatItDoesNotKnow) {
    const tarvocore::CSongLengths lengths(
        Text("[Database]\n; /MUSICIANS/T/Tester/Tune.sid\n"
             "0123456789abcdef0123456789abcdef=3:00 0:07.680 x:yz 12:34.5\r\n"
             "broken line without equals\n"));
    EXPECT_EQ(lengths.LengthsFor("0123456789abcdef0123456789abcdef"),
              (std::vector<int>{180000, 7680, -1, 754500}));
    EXPECT_EQ(lengths.LineFor("0123456789abcdef0123456789abcdef").substr(0, 33),
              "0123456789abcdef0123456789abcdef=");
    EXPECT_TRUE(lengths.LengthsFor("ffffffffffffffffffffffffffffffff").empty());
    EXPECT_EQ(lengths.LineFor("ffffffffffffffffffffffffffffffff"), "");
}

// A clip of known length fades over its last stretch and then falls silent;
// a seek lands in the fade as if the clip had played there, and a clip that
// plays on is never touched.
TEST(ClipTimeline, FadesThenSilencesAndASeekLandsInTheFade) {
    const auto played = [](tarvocore::CClipTimeline& timeline, int frames) {
        std::vector<int16_t> sound(static_cast<size_t>(frames) * 2, 10000);
        timeline.Process(sound.data(), frames);
        return sound;
    };
    tarvocore::CClipTimeline timeline;
    timeline.Start(1000, 400);
    const std::vector<int16_t> sound = played(timeline, 1200);
    EXPECT_EQ(sound[2 * 599], 10000); // before the fade
    EXPECT_LT(sound[2 * 800], 10000); // in it, halfway down
    EXPECT_GT(sound[2 * 800], 2000);
    EXPECT_EQ(sound[2 * 1000], 0); // past the end
    EXPECT_EQ(timeline.Position(), 1200);

    tarvocore::CClipTimeline sought;
    sought.Start(1000, 400);
    sought.JumpTo(800);
    const std::vector<int16_t> fromSeek = played(sought, 400);
    EXPECT_NEAR(fromSeek[0], sound[2 * 800], 100); // as if it had played there
    EXPECT_EQ(fromSeek[2 * 200], 0);

    tarvocore::CClipTimeline endless;
    endless.Start(-1, 0);
    EXPECT_EQ(played(endless, 100000), std::vector<int16_t>(200000, 10000));
}
