// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgAbout.h"
#include "dialogs/ExportProgress.h"
#include "kit/DialogLayout.h"
#include "ui/WindowFixture.h"

#include <filesystem>
#include <QLabel>
#include <sstream>

using namespace tarvo;
using namespace tarvo::test;
using Texts = std::vector<std::string>;

namespace {

class ClipData : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        Clips(0).SetRange(2, 9);
        Clips(0).SetTitle(3, "Overture");
        Clips(0).SetTitle(5, " Spaced Out ");
        Clips(0).SetBlank(7, true);
        Clips(1).SetRange(0, 4);
        Clips(1).SetTitle(4, "Finale");
    }
    void Import(const std::string& file, bool yes = true) {
        dialogs.paths = {file};
        dialogs.answers = {yes};
        window->Command(kImport);
    }
};

} // namespace

TEST_F(ClipData, OneGameExportsWithItsHeadingAndComesBackOnImportOrSaysWhyNot) {
    EXPECT_FALSE(MenuEnabled(kExportGame)); // no game loaded
    window->Command(kExportGame);
    EXPECT_TRUE(dialogs.pickerTitles.empty());

    Load(0, 3);
    dialogs.paths = {temp.File("alpha titles")}; // no extension: written as typed
    window->Command(kExportGame);
    EXPECT_EQ(dialogs.pickerTitles, Texts{"Export Clip Data (\"alpha\")..."});
    ASSERT_EQ(dialogs.lastFilters.size(), 3u);
    EXPECT_EQ(dialogs.lastFilters[0].description, "Tarvo Clip Info Files");
    EXPECT_EQ(dialogs.lastFilters[2].pattern, "*.*");
    EXPECT_EQ(temp.Read("alpha titles"),
              "; Tarvo Clip Info File - Stores clip information for supported ROMsets.\n"
              "; Clip Info for \"alpha\": Alpha Story\n"
              "\n"
              "alpha:range 2 9\n"
              "alpha:title 3 Overture\n"
              "alpha:title 5  Spaced Out \n"
              "alpha:blank 7\n");

    Clips(0).SetTitle(3, "Changed");
    Clips(0).SetRange(0, 20);
    Import(temp.File("alpha titles"));
    EXPECT_EQ(dialogs.shown.back().text,
              "Attention: Importing clip data may overwrite existing information.  Proceed?");
    EXPECT_EQ(Clips(0).GetTitle(3), "Overture");
    EXPECT_EQ(Clips(0).lastClip, 9);
    EXPECT_EQ(Row(1, 1), "Overture"); // the clip list shows it at once (row 0 is clip 2)
    EXPECT_EQ(Find<QLineEdit>(kClipTitle)->text(), "Overture"); // and the playing clip's title
    EXPECT_FALSE(std::filesystem::exists(temp.File("tarvoclips.dat")));

    const std::string nowhere = temp.File("no/such/folder/x.dat");
    dialogs.paths = {nowhere};
    window->Command(kExportGame);
    EXPECT_EQ(dialogs.Texts().back(),
              "ERROR while exporting data: Unable to open [" + nowhere + "] for writing.");
}

TEST_F(ClipData, AllGamesExportWithoutTheLinesOfUnknownGamesOrSayWhyNot) {
    std::istringstream unknown("zeta:title 1 Kept for later\n");
    window->ROMList().ReadClipInfo(unknown);
    dialogs.paths = {temp.File("all.dat")};
    window->Command(kExportAll);
    const std::string all = temp.Read("all.dat");
    EXPECT_EQ(
        all.rfind("; Tarvo Clip Info File - Stores clip information for supported ROMsets\n\n", 0),
        0u);
    EXPECT_EQ(all.find("zeta"), std::string::npos);
    EXPECT_EQ(all.find("not supported"), std::string::npos);

    dialogs.paths = {temp.File("no/such/folder/x.dat")};
    window->Command(kExportAll);
    EXPECT_EQ(dialogs.Texts().back(), "ERROR saving clip information: Unable to open [" +
                                          temp.File("no/such/folder/x.dat") + "] for writing.");

    const CClipInfo alpha = Clips(0), beta = Clips(1);
    Clips(0).SetRange(-1, -1);
    Clips(1).SetTitle(4, "");
    Import(temp.File("all.dat"));
    EXPECT_EQ(Clips(0), alpha);
    EXPECT_EQ(Clips(1), beta);
}

TEST_F(ClipData, NoAndUnreadableFilesChangeNothingAndSayNothing) {
    const CClipInfo before = Clips(0);
    temp.Write("other.dat", "alpha:title 3 Other\n");
    Import(temp.File("other.dat"), false);
    EXPECT_EQ(Clips(0), before);

    temp.Write("binary.dat", std::string("\0\xff\xfe:\x01title\0", 12));
    temp.Write("empty.dat", "");
    for (const std::string& file :
         {temp.File("binary.dat"), temp.File("empty.dat"), temp.File("missing.dat"), temp.Path()})
        Import(file);
    EXPECT_EQ(Clips(0), before);
    for (const auto& shown : dialogs.shown)
        EXPECT_TRUE(shown.question) << shown.text;
}

TEST_F(ClipData, ImportInPlaylistModeRelabelsThePlaylistRows) {
    window->Playlist().AddEntry(window->ROMList().GetEntry(1), 4);
    window->Mode().ToggleMode();
    EXPECT_EQ(Row(0, 1), "Finale");
    temp.Write("beta.dat", "beta:title 4 Grand Finale\n");
    Import(temp.File("beta.dat"));
    EXPECT_EQ(Row(0, 1), "Grand Finale");
}

TEST_F(ClipData, ThePrankItemAnswersThreeTimesThenGoesGrey) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(MenuEnabled(kPrank));
        window->Action(kPrank)->trigger();
    }
    EXPECT_FALSE(MenuEnabled(kPrank));
    window->Windows().PrankCall(); // however it is asked again
    EXPECT_EQ(
        dialogs.Texts(),
        (Texts{"Yeah right.",
               "No, I'm sorry, but if you want to get in trouble, you're just gonna have to do "
               "it yourself.",
               "Dude, would you quit asking me to annoy your neighbors for you!?  Go bug 'em "
               "yourself or something.  Geez!",
               "Leave me alone."}));
    window->CloseSequence();
    EXPECT_EQ(temp.Read("Tarvo.ini").find("Prank"), std::string::npos); // never saved
}

// The About box shows both versions, even an empty one, and grows to show
// its whole text however long the core's version is.
TEST_F(ClipData, TheAboutBoxShowsBothVersionsAndGrowsToShowItsWholeText) {
    core.version = "";
    std::string shown;
    window->SetModalRunner([&](QDialog& dialog) {
        shown = dialog.findChild<QLabel*>(CDialogLayout::ObjectName(CDlgAbout::kText))
                    ->text()
                    .toStdString();
        return int(QDialog::Accepted);
    });
    window->Command(kAbout);
    EXPECT_EQ(shown.rfind("Tarvo Player v1.2.1\nLinked with Sound Core v\n\n", 0), 0u);
    EXPECT_EQ(shown.substr(shown.size() - 37), "\n\nSee Tarvo.txt for more information.");

    const QSize fixed = CDlgAbout("1.0").size();
    for (int words : {1, 20, 60}) {
        SCOPED_TRACE(words);
        std::string version = "1.0.0";
        for (int i = 0; i < words; ++i)
            version += " (libexample " + std::to_string(i) + ")";
        CDlgAbout box(version);
        auto* text = box.findChild<QLabel*>(CDialogLayout::ObjectName(CDlgAbout::kText));
        auto* ok = box.findChild<QWidget*>(CDialogLayout::ObjectName(CDlgAbout::kOk));
        EXPECT_GE(text->height(), text->heightForWidth(text->width()));
        EXPECT_GE(ok->y(), text->geometry().bottom());
        EXPECT_LE(ok->geometry().bottom(), box.height());
        EXPECT_EQ(box.width(), fixed.width());
        EXPECT_EQ(box.size() == fixed, words == 1);
    }
}

// A whole game's sound out to a folder: files already there are replaced
// only when the user agrees, the progress follows the core, and the end says
// how many clips were written, a cancel included.
TEST_F(WindowTest, ExportGameAudioAsksFollowsTheCoreAndSaysWhatItWrote) {
    core.tellsTunes = true;
    core.tunes = {"", "Overture", "", "Jump"};
    Load(0, 1);
    EXPECT_TRUE(MenuEnabled(kExportAudio));
    const std::string folder = temp.MakeFolder("album");
    temp.Write("album/03 Jump.ogg", "mine");
    auto exportTo = [&](bool replace) {
        dialogs = ScriptedDialogs();
        dialogs.paths = {folder};
        dialogs.items = {1}; // Ogg Vorbis
        dialogs.answers = {replace};
        core.TakeActions();
        window->Action(kExportAudio)->trigger();
    };
    exportTo(false);
    EXPECT_EQ(dialogs.Texts(), Texts{"1 of the 2 files already exist in " + folder +
                                     ":\n\n03 Jump.ogg\n\nReplace them?"});
    EXPECT_TRUE(core.TakeActions().empty());

    std::vector<std::string> labels;
    window->SetModalRunner([&](QDialog& dialog) {
        auto& progress = static_cast<CExportProgress&>(dialog);
        labels.push_back(progress.labelText().toStdString());
        core.Send(CORE_MSG_EXPORTED, nullptr, 1);
        progress.Update();
        labels.push_back(progress.labelText().toStdString() + " " +
                         std::to_string(progress.value()));
        core.Send(CORE_MSG_EXPORTED, nullptr, 3);
        progress.Update();
        return dialog.result();
    });
    exportTo(true);
    EXPECT_EQ(labels,
              (Texts{"Writing 1 of 2:\n01 Overture.ogg", "Writing 2 of 2:\n03 Jump.ogg 500"}));
    EXPECT_EQ(dialogs.Texts().back(), "2 of 2 clips were written to " + folder + ".");

    window->SetModalRunner([](QDialog& dialog) {
        static_cast<CExportProgress&>(dialog).cancel();
        return dialog.result();
    });
    exportTo(true);
    EXPECT_EQ(core.TakeActions(), (Texts{"Command(EXPORT_CLIP, 1)", "Command(CANCEL_EXPORT, 0)"}));
    EXPECT_EQ(dialogs.Texts().back(),
              "The export was cancelled. 0 of 2 clips were written to " + folder + ".");

    // A failure names the clip it stopped at, and keeps the one before.
    window->SetModalRunner([&](QDialog& dialog) {
        core.Send(CORE_MSG_EXPORTED, nullptr, 1);
        std::string full = "it could not be written: No space left on device";
        core.Send(CORE_MSG_EXPORTED, full.data(), 3);
        return dialog.result();
    });
    exportTo(true);
    EXPECT_EQ(dialogs.Texts().back(),
              "ERROR: The export stopped: 03 Jump.ogg: it could not be written: No space left on "
              "device\n\n1 of 2 clips were written to " +
                  folder + ".");
}
