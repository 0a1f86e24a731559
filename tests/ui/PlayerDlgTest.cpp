// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgClipRange.h"
#include "dialogs/DlgPlaylist.h"
#include "dialogs/DlgVoices.h"
#include "kit/DialogLayout.h"
#include "ui/WindowFixture.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

using namespace tarvo;
using namespace Qt::StringLiterals;
using namespace tarvo::test;
namespace {

class Window : public WindowTest {
protected:
    std::vector<std::string> Column(int column) {
        std::vector<std::string> texts;
        for (int row = 0; row < List()->topLevelItemCount(); ++row)
            texts.push_back(List()->topLevelItem(row)->text(column).toStdString());
        return texts;
    }
    Config& config() { return window->Settings(); }
    void Press(QWidget* target, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }
};

} // namespace

TEST_F(Window, StartsAsTheTarvoWindowWithTheCoreSetAsTheSettingsSay) {
    EXPECT_EQ(window->windowTitle(), "Tarvo");
    EXPECT_EQ(window->minimumSize(), window->size());   // the layout's size, as small as it goes
    EXPECT_TRUE(Find<QCheckBox>(kShuffle)->isHidden()); // Shuffle belongs to playlist mode
    EXPECT_TRUE(window->ControlById(kLeftMeter)->isHidden()); // a meter takes its place
    EXPECT_TRUE(window->ROMList().IsAvailable(0));            // the default folder's games, found
    EXPECT_FALSE(window->ROMList().IsAvailable(2));

    EXPECT_TRUE(core.initialised);
    for (auto [option, value] : {std::pair{CORE_OPT_NORMALIZE, 0},
                                 {CORE_OPT_END_AT_LENGTH, 1},
                                 {CORE_OPT_LOOP_COUNT, 2},
                                 {CORE_OPT_TUNE_FADE_MS, 8000},
                                 {CORE_OPT_RECORD, 0}})
        EXPECT_EQ(core.options[option], value) << option;
}

// The clip list grows with the window, the controls beside and below it
// follow, the others keep their places; the next start comes back at the size.
TEST_F(Window, GrowsWithItsClipListAndComesBackAtItsSize) {
    window->show();
    const QSize layout = window->size();
    auto place = [this](int id) { return window->ControlById(id)->geometry(); };
    const QRect list = place(kClipList), play = place(kPlay), volume = place(kVolume),
                manager = place(kPlaylistManager);
    window->resize(layout + QSize(100, 80));
    QApplication::processEvents();
    EXPECT_EQ(place(kClipList).size(), list.size() + QSize(100, 80));
    EXPECT_EQ(place(kPlay).topLeft(), play.topLeft() + QPoint(100, 0));
    EXPECT_EQ(place(kVolume).topLeft(), volume.topLeft() + QPoint(0, 80));
    EXPECT_EQ(place(kPlaylistManager), manager);
    EXPECT_EQ(window->Settings().MainWindowSize,
              (WindowSize{layout.width() + 100, layout.height() + 80}));
    window->close();

    const auto next = MakeWindow(dialogs);
    next->StartUp();
    EXPECT_EQ(next->size(), layout + QSize(100, 80));

    // A size larger than this screen is fitted to it, and stays kept as it was.
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    next->Settings().MainWindowSize = {screen.width() + 500, screen.height() + 500};
    ASSERT_TRUE(next->CloseSequence());
    const auto large = MakeWindow(dialogs);
    large->StartUp();
    large->show();
    QApplication::processEvents();
    EXPECT_LE(large->height(), screen.height());
    EXPECT_EQ(large->Settings().MainWindowSize,
              (WindowSize{screen.width() + 500, screen.height() + 500}));
}

// The clip menu and the list's popup name the game and offer only what the
// selected clip allows.
TEST_F(Window, MenusFollowTheGameAndTheSelectedClip) {
    for (int id : {kToggleBlank, kSetFirst, kSetLast, kNewRange, kExportGame})
        EXPECT_FALSE(MenuEnabled(id)) << id;
    EXPECT_EQ(window->Action(kSetFirst)->text(), "Set Selected Clip As &First (no game)");
    EXPECT_TRUE(window->Action(kMenuRomMode)->isChecked());

    Load(0, 0);
    EXPECT_EQ(window->Action(kSetFirst)->text(), "Set Selected Clip As &First For \"alpha\"");
    EXPECT_FALSE(MenuEnabled(kSetFirst)); // clip 0 is the first
    EXPECT_TRUE(MenuEnabled(kSetLast) && MenuEnabled(kNewRange) && MenuEnabled(kToggleBlank));
    window->Engine().PlayClip(512);
    EXPECT_TRUE(MenuEnabled(kSetFirst));
    EXPECT_FALSE(MenuEnabled(kSetLast)); // 512 is the last
    Clips().SetBlank(512, true);
    window->UpdateMenus();
    EXPECT_TRUE(window->Action(kToggleBlank)->isChecked());

    QMenu menu;
    const auto actions = CMenuBuilder::BuildPopup(&menu, "134.menu");
    EXPECT_EQ(menu.title(), "SoundClip Options");
    for (int row : {0, 512}) {
        SelectRow(row);
        window->Clips().PrepareClipPopup(menu, actions);
        EXPECT_EQ(actions.value(kSetFirst).first()->isEnabled(), row != 0);
        EXPECT_EQ(actions.value(kSetLast).first()->isEnabled(), row == 0);
    }
}

TEST_F(Window, TransportButtonsByState) {
    // NEXT, Prev, PLAY, STOP, REC and the clip number field, enabled or not.
    const auto enabled = [this] {
        std::string shown;
        for (int id : {kNext, kPrev, kPlay, kStop, kRec, kClipNumber})
            shown += Enabled(id) ? '1' : '0';
        return shown;
    };
    struct Row {
        PlayerState state;
        const char* enabled;
        int sequence;
    } rows[] = {
        {PlayerState::Idle, "000000", 3},    {PlayerState::Busy, "000100", 3},
        {PlayerState::Stopped, "111011", 3}, {PlayerState::Playing, "111111", 0},
        {PlayerState::Paused, "111111", 2},  {PlayerState::Recording, "111111", 4},
    };
    for (const Row& row : rows) {
        Reach(row.state);
        ASSERT_EQ(window->Engine().Status().state, row.state);
        SCOPED_TRACE(static_cast<int>(row.state));
        EXPECT_EQ(enabled(), row.enabled);
        EXPECT_EQ(window->Icon().Sequences().CurrentSequence(), row.sequence);
    }
    // A long seek shows the busy cursor and leaves the transport as it was.
    Reach(PlayerState::Playing);
    window->Engine().Listening().SeekTo(20000);
    core.Send(CORE_MSG_BUSY);
    EXPECT_EQ(enabled(), "111111");
    EXPECT_EQ(window->Icon().Sequences().CurrentSequence(), 0);
    EXPECT_EQ(window->cursor().shape(), Qt::BusyCursor);
    core.Send(CORE_MSG_SEEKED, nullptr, 20000);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
    window->Mode().SetPlaylistMode(true);
    Reach(PlayerState::Idle);
    EXPECT_EQ(enabled(), "101000"); // NEXT and PLAY start the playlist
}

// The transport is in the Playback menu, each item with its keys: Space
// plays and pauses, X plays, C pauses, V stops, Z and B go back and on,
// wherever the focus is but in a field being typed in.
TEST_F(Window, ThePlaybackMenuAndItsKeysDriveTheTransport) {
    EXPECT_EQ(window->Action(kPlay)->shortcut(), QKeySequence(Qt::Key_Space));
    EXPECT_TRUE(
        window->Action(kPlay)->shortcuts().contains(QKeySequence(Qt::Key_MediaTogglePlayPause)));
    Load(0, 3);
    window->show();
    QApplication::setActiveWindow(window.get());
    List()->setFocus();
    const auto press = [this](QWidget* target, Qt::Key key) {
        QTest::keyClick(target, key);
        return window->Engine().Status().state;
    };
    EXPECT_EQ(press(List(), Qt::Key_Space), PlayerState::Paused);
    EXPECT_EQ(press(List(), Qt::Key_X), PlayerState::Playing);
    EXPECT_EQ(press(List(), Qt::Key_X), PlayerState::Playing); // X never pauses
    EXPECT_EQ(press(List(), Qt::Key_C), PlayerState::Paused);
    EXPECT_EQ(press(List(), Qt::Key_C), PlayerState::Playing);
    core.calls.clear();
    EXPECT_EQ(press(List(), Qt::Key_B), PlayerState::Playing);
    EXPECT_EQ(window->Engine().Status().currentClip, 4);
    auto* title = Find<QLineEdit>(kClipTitle);
    title->setFocus();
    EXPECT_EQ(press(title, Qt::Key_V), PlayerState::Playing); // typed, not a key of the menu
    EXPECT_EQ(title->text().right(1), u"v"_s);
    EXPECT_EQ(press(List(), Qt::Key_V), PlayerState::Stopped);
}

// The volume slider, its keys and the wheel over the meters agree, reach the
// core and stay within 0 to 100 %; the wheel elsewhere leaves it alone.
TEST_F(Window, TheVolumeSliderItsKeysAndTheWheelOverTheMetersAgree) {
    EXPECT_EQ(core.options[CORE_OPT_VOLUME], 100); // as the settings start it
    EXPECT_EQ(window->Action(kVolumeUp)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Up));
    auto* slider = Find<QSlider>(kVolumeSlider);
    window->Command(kVolumeDown);
    window->Command(kVolumeDown);
    EXPECT_EQ(slider->value(), 90);
    EXPECT_EQ(core.options[CORE_OPT_VOLUME], 90);
    EXPECT_EQ(window->Settings().Output.volume, 90);
    const auto wheel = [this](QPoint at, int delta) {
        QWheelEvent event(at, window->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(window.get(), &event);
        return window->Volume().Percent();
    };
    EXPECT_EQ(wheel(window->LeftMeter().FrameRect().center(), 120), 95);
    EXPECT_EQ(wheel(window->RightMeter().FrameRect().center(), -120), 90);
    EXPECT_EQ(wheel(window->ControlById(kBrowse)->geometry().center(), 120), 90);
    for (int press = 0; press < 5; ++press)
        window->Command(kVolumeUp);
    EXPECT_EQ(slider->value(), 100);
    EXPECT_EQ(slider->toolTip(), u"Volume: 100 %"_s);
}

TEST_F(Window, ClipRowsWithAndWithoutBlanks) {
    Clips().SetRange(0, 4);
    Clips().SetBlank(2, true);
    Clips().SetTitle(3, "Boss");
    Load(0, 0);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"000", "001", "003", "004"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"Clip 0", "Clip 1", "Boss", "Clip 4"}));
    SelectRow(2);
    Find<QCheckBox>(kShowBlanks)->click();
    EXPECT_EQ(Column(1),
              (std::vector<std::string>{"Clip 0", "Clip 1", "-- blank --", "Boss", "Clip 4"}));
    EXPECT_EQ(List()->currentItem()->text(0), "003"); // the selected clip stays selected
    window->Command(kMenuShowBlanks); // the menu toggles back and updates box and list
    EXPECT_FALSE(Find<QCheckBox>(kShowBlanks)->isChecked());
    EXPECT_EQ(Column(0).size(), 4u);
    EXPECT_EQ(List()->currentItem()->text(0), "003"); // ... keeping the selection, as the box does
    EXPECT_TRUE(Enabled(kPlaySelected));
}

TEST_F(Window, RefreshClipRowInsertsAndRemovesRows) {
    Clips().SetRange(0, 5);
    Clips().SetBlank(3, true);
    Load(0, 0);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"000", "001", "002", "004", "005"}));

    // Marking the selected row blank removes it; the mark moves to the row in its place.
    SelectRow(1);
    window->Clips().ToggleBlank();
    EXPECT_EQ(Column(0), (std::vector<std::string>{"000", "002", "004", "005"}));
    window->Clips().ToggleBlank(); // now acts on 002, the row in its place
    EXPECT_EQ(Column(0), (std::vector<std::string>{"000", "004", "005"}));

    // Unmarking inserts the row before the clip NEXT would play after it.
    Clips().SetBlank(3, false);
    window->Clips().RefreshClipRow(3);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"000", "003", "004", "005"}));

    // A title typed beyond the last clip extends the range and appends a row.
    window->Engine().PlayClip(9);
    Find<QLineEdit>(kClipTitle)->setText("Hidden Track");
    window->Clips().CommitClipTitle();
    EXPECT_EQ(Column(0).back(), "009");
    EXPECT_EQ(Column(1).back(), "Hidden Track");
}

TEST_F(Window, EditingTheRangeAsksFirst) {
    Load(0, 0);
    SelectRow(20);
    dialogs.answers = {false};
    window->Clips().SetAsLast();
    EXPECT_EQ(Clips().lastClip, 512);
    Clips().SetTitle(30, "Dropped");
    dialogs.answers = {true};
    window->Clips().SetAsLast();
    EXPECT_EQ(Clips().lastClip, 20);
    EXPECT_EQ(Column(0).back(), "020");
    EXPECT_EQ(dialogs.shown.back().text,
              "Are you sure you want to remove all SoundClip entries after this one?");

    SelectRow(5);
    dialogs.answers = {true};
    window->Clips().SetAsFirst();
    EXPECT_TRUE(Clips().IsBlank(4));
    EXPECT_EQ(Column(0).front(), "005");
    EXPECT_EQ(List()->currentItem()->text(0), "005");
}

TEST_F(Window, ARangeBeyondTheHighestClipIsCappedAndSaysSo) {
    Load(0, 0);
    window->SetModalRunner([](QDialog& dialog) {
        auto& range = static_cast<CDlgClipRange&>(dialog);
        dialog.findChild<QLineEdit*>(CDialogLayout::ObjectName(CDlgClipRange::kLast))
            ->setText("40000");
        range.TakeLast(); // the field loses the focus
        range.accept();
        return dialog.result();
    });
    window->Clips().SetNewRange();
    EXPECT_EQ(Clips().lastClip, 31999);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              "A game's clips are numbered from 0 to 31999, so the range now ends at 31999.");
}

TEST_F(Window, KeyboardFilter) {
    Load(0, 0);
    SelectRow(7);
    Press(List(), Qt::Key_Return);
    EXPECT_EQ(window->Engine().Status().currentClip, 7);

    Find<QLineEdit>(kClipNumber)->setText("12");
    Press(Find<QLineEdit>(kClipNumber), Qt::Key_Return);
    EXPECT_EQ(window->Engine().Status().currentClip, 12);

    window->show();
    Press(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    const auto before = core.calls.size();
    Press(Find<QPushButton>(kStop), Qt::Key_Return); // Enter elsewhere does nothing
    EXPECT_EQ(core.calls.size(), before);
}

TEST_F(Window, ATypedTitleStaysWithTheClipItWasTypedFor) {
    auto* title = Find<QLineEdit>(kClipTitle);
    title->setText("Nothing"); // no clip: undone
    window->Clips().CommitClipTitle();
    EXPECT_EQ(title->text(), "");

    config().OnSilence = 3;
    Load(0, 1);
    window->show();
    QApplication::setActiveWindow(window.get());
    title->setFocus();
    QTest::keyClicks(title, "Overture");
    QTest::keyClick(title, Qt::Key_Return);
    window->Engine().Next(); // the player moves on by itself while the field has the focus
    EXPECT_EQ(title->text(), "");
    EXPECT_EQ(Find<QLineEdit>(kClipNumber)->text(), "2");
    QTest::mouseClick(Find<QPushButton>(kStop), Qt::LeftButton); // STOP takes the focus
    EXPECT_EQ(Clips().GetTitle(1), "Overture");
    EXPECT_EQ(Clips().GetTitle(2), "");

    // Typed but not yet committed when the next clip comes: still its own clip's.
    title->setFocus();
    QTest::keyClicks(title, "Interlude");
    window->Engine().Next();
    EXPECT_EQ(Clips().GetTitle(2), "Interlude");
    EXPECT_EQ(title->text(), "");
    title->clearFocus();
    EXPECT_EQ(Clips().GetTitle(3), "");

    // Another game loads: the fields show none of its clips, so neither a
    // title typed nor REC can reach a clip of either game; PLAY and REC then
    // start the new game's first clip.
    QTest::mouseClick(Find<QPushButton>(kStop), Qt::LeftButton);
    const CClipInfo alpha = Clips(0);
    Load(1, -1);
    const CClipInfo beta = Clips(1);
    EXPECT_EQ(Find<QLineEdit>(kClipNumber)->text(), "");
    EXPECT_EQ(title->text(), "");
    title->setFocus();
    QTest::keyClicks(title, "Overture");
    QTest::keyClick(title, Qt::Key_Return);
    auto* number = Find<QLineEdit>(kClipNumber);
    number->setFocus();
    QTest::keyClick(number, Qt::Key_Return);
    EXPECT_EQ(Clips(0), alpha);
    EXPECT_EQ(Clips(1), beta);
    EXPECT_EQ(window->Engine().Status().state, PlayerState::Stopped);
    core.calls.clear();
    window->Engine().Rec();
    EXPECT_THAT(core.TakeActions(), ::testing::Contains("Command(PLAY_CLIP, " +
                                                        std::to_string(Clips(1).firstClip) + ")"));
}

// A box and its menu item are one setting: each shows what the other set.
TEST_F(Window, BoxesAndTheirMenuItemsStayInStep) {
    window->Mode().SetPlaylistMode(true); // where Shuffle is shown
    core.calls.clear();
    for (auto [box, item] : {std::pair{kNormalize, kMenuNormalize}, {kShuffle, kMenuShuffle}}) {
        SCOPED_TRACE(box);
        Find<QCheckBox>(box)->click();
        EXPECT_TRUE(window->Action(item)->isChecked());
        window->Command(item);
        EXPECT_FALSE(Find<QCheckBox>(box)->isChecked());
        EXPECT_FALSE(window->Action(item)->isChecked());
    }
    EXPECT_EQ(window->Settings().Shuffle, 0);
    EXPECT_EQ(core.TakeActions(),
              (std::vector<std::string>{"SetOption(NORMALIZE, 1)", "SetOption(NORMALIZE, 0)"}));
}

TEST_F(Window, WindowIconFollowsTheState) {
    window->View().AdvanceWindowIcon();
    EXPECT_EQ(window->Icon().Current(), 124); // asleep while Idle
    Load(0, 3);
    window->View().AdvanceWindowIcon();
    EXPECT_EQ(window->Icon().Current(), 114); // running
    window->Engine().PlayClip(5);
    window->View().AdvanceWindowIcon();
    EXPECT_EQ(window->Icon().Current(), 117); // the puff of smoke when the clip asked for starts
}

// Exit closes as the window's close button does: a recording and an unnamed
// playlist are offered for saving, then everything is kept and the core ends.
TEST_F(Window, ExitOffersTheRecordingAndThePlaylistThenSavesEverything) {
    Load(0, 3);
    Clips().SetTitle(3, "Stage 3");
    window->Settings().Shuffle = 1;
    window->Playlist().AddEntry(window->ROMList().GetEntry(0), 1);
    window->Command(kRec);
    const std::string recording = window->Engine().Recorder().TemporaryWavPath();
    ASSERT_FALSE(recording.empty());
    temp.Write(recording.substr(temp.Path().size()), "RIFF");
    dialogs.answers = {true};
    dialogs.paths = {temp.File("take.wav"), temp.File("mine.tvp")};
    window->show();
    core.calls.clear();
    window->Command(kExit);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(core.TakeCalls().back(), "Shutdown");
    EXPECT_EQ(dialogs.pickerTitles.front(), "Save Recording");
    EXPECT_EQ(temp.Read("take.wav"), "RIFF");
    EXPECT_EQ(dialogs.Texts(),
              std::vector<std::string>{"Do you want to save your current Playlist?"});
    EXPECT_NE(temp.Read("mine.tvp").find("Entry=alpha 1"), std::string::npos);
    const std::string ini = temp.Read("Tarvo.ini");
    EXPECT_NE(ini.find("PlaylistFile=" + temp.File("mine.tvp")), std::string::npos);
    EXPECT_NE(ini.find("Shuffle=1"), std::string::npos);
    EXPECT_NE(ini.find("RecordingFolder=" + temp.Path().substr(0, temp.Path().size() - 1) +
                       "\n"
                       "RecordingFormat=wav\n"),
              std::string::npos);
    EXPECT_NE(temp.Read("tarvoclips.dat").find("alpha:title 3 Stage 3"), std::string::npos);
}

TEST_F(Window, ASignalEndsAnOpenDialogAsCancelledThenClosesOnceKeepingEverything) {
    struct Case {
        const char* dialog;
        int command;
    } cases[] = {{"Game Browser", kMenuBrowser},
                 {"Playlist Manager", kMenuPlaylistManager},
                 {"Set Clip Range", kNewRange}};
    window.reset();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        dialogs.unattended = false;
        auto ending = MakeWindow(dialogs);
        ending->StartUp();
        ending->Engine().LoadGame(0, 3);
        ending->show();
        int result = -1;
        ending->SetModalRunner([&](QDialog& dialog) {
            if (auto* manager = qobject_cast<CDlgPlaylist*>(&dialog)) {
                manager->ShowGame(1);
                manager->ClipList().SetRowSelected(4, true);
                manager->Add();
            }
            QTimer::singleShot(0, [&] {
                dialogs.unattended = true; // as the program's signal handler does
                ending->EndBySignal();
            });
            result = dialog.exec();
            return result;
        });
        core.calls.clear();
        ending->Command(c.command);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ending->isVisible(); }));
        EXPECT_EQ(result, QDialog::Rejected);
        const auto calls = core.TakeCalls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "Shutdown"), 1);
        EXPECT_NE(temp.Read("Tarvo.ini").find("ShowBlanks=0"), std::string::npos);
    }
    // The unnamed playlist built in the manager could not be asked about: it is
    // the crash-recovery copy that the next start reloads.
    EXPECT_NE(temp.Read("tarvo_temp.tvp").find("Entry=beta 4"), std::string::npos);
}

TEST_F(Window, ASecondTarvoOnTheSameFolderSavesNothingOfItsOwn) {
    window->Engine().Setup().KeepNoFiles();
    window->Playlist().AddEntry(window->ROMList().GetEntry(0), 1);
    EXPECT_TRUE(window->CloseSequence());
    EXPECT_FALSE(std::filesystem::exists(temp.File("Tarvo.ini")));
    EXPECT_FALSE(std::filesystem::exists(temp.File("tarvoclips.dat")));
    EXPECT_TRUE(dialogs.shown.empty()); // not even the playlist question
}

// The question about an unnamed playlist ended by a signal, as the program's
// handler ends it: the box is cancelled and nobody answered.
class SignalDuringQuestion : public ScriptedDialogs {
public:
    bool AskYesNo(const std::string& text, MessageIcon icon) override {
        ScriptedDialogs::AskYesNo(text, icon);
        unattended = true;
        return false;
    }
};

TEST_F(Window, AnUnnamedPlaylistOutlivesASignalThatEndsTheQuestionAndComesBackQuietly) {
    window.reset();
    SignalDuringQuestion ending;
    {
        const auto first = MakeWindow(ending);
        first->StartUp();
        first->Playlist().AddEntry(first->ROMList().GetEntry(1), 4);
        EXPECT_TRUE(first->CloseSequence());
    }
    EXPECT_EQ(ending.Texts(),
              std::vector<std::string>{"Do you want to save your current Playlist?"});
    const auto next = MakeWindow(dialogs);
    next->StartUp();
    EXPECT_EQ(next->Playlist().GetCount(), 1);
    EXPECT_TRUE(next->Playlist().fileName.empty()); // still asked about at the next close
    EXPECT_TRUE(dialogs.shown.empty());             // no word of a crash
}

TEST_F(Window, AFailedSettingsWriteKeepsTheWindowOpen) {
    window.reset();
    test::TempFolder other;
    CPlayerDlg broken(other.File("missing/"), core, dialogs);
    broken.StartUp();
    broken.show();
    broken.close();
    EXPECT_TRUE(broken.isVisible());
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Error);
}

namespace {

// Counts a widget's paint events and the rectangles they repaint.
class PaintCount : public QObject {
public:
    int paints = 0, rectangles = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        ++paints;
        rectangles += static_cast<QPaintEvent*>(event)->region().rectCount();
        return false;
    }
};

} // namespace

// The meters share an opaque surface of their own, and a tick that moves
// both repaints it once, in one rectangle, without waiting for the event loop.
TEST_F(Window, BothMetersPaintOnOneOpaqueSurfaceOnceATick) {
    QWidget* surface = window->childAt(window->LeftMeter().FrameRect().center());
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(window->childAt(window->RightMeter().FrameRect().center()), surface);
    EXPECT_TRUE(surface->testAttribute(Qt::WA_OpaquePaintEvent));
    for (const CVUMeter* meter : {&window->LeftMeter(), &window->RightMeter()})
        EXPECT_TRUE(surface->geometry().contains(meter->FrameRect()));
    window->show();
    QApplication::processEvents();
    PaintCount count;
    surface->installEventFilter(&count);
    window->View().SetMeterLevels(30000, 9000); // painted there and then
    EXPECT_EQ(count.paints, 1);
    EXPECT_EQ(count.rectangles, 1);
    QApplication::processEvents(); // and not again
    EXPECT_EQ(count.paints, 1);
}

// Files dropped on the window or the Playlist Manager are opened as music;
// anything else is not taken.
TEST_F(Window, FilesDroppedOnTheWindowAreOpenedAsMusic) {
    temp.Write("add.sh", "#!/bin/sh\nprintf '%s\\000' game beta 2\n");
    std::filesystem::permissions(temp.File("add.sh"), std::filesystem::perms::owner_all);
    window->Opening().Opener().SetProgram(QString::fromStdString(temp.File("add.sh")));
    QMimeData text;
    text.setText(u"just words"_s);
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(roms + "tune.vgm"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QSignalSpy added(&window->Opening().Opener().Process(), &QProcess::finished);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    ASSERT_TRUE(added.wait(20000));
    EXPECT_EQ(window->Engine().Status().currentGame, 1);
    EXPECT_EQ(window->Engine().Status().currentClip, 2);

    // On the Playlist Manager the new game is shown there too, for its clips.
    Load(0, 1);
    int shown = -1;
    window->SetModalRunner([&](QDialog& dialog) {
        auto& manager = static_cast<CDlgPlaylist&>(dialog);
        QDragEnterEvent entering(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton,
                                 Qt::NoModifier);
        QApplication::sendEvent(&manager, &entering);
        QDropEvent onManager(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton,
                             Qt::NoModifier);
        QApplication::sendEvent(&manager, &onManager);
        EXPECT_TRUE(added.wait(20000));
        shown = manager.ShownGame();
        return int(QDialog::Rejected);
    });
    window->Mode().OpenPlaylistManager();
    EXPECT_EQ(shown, 1);

    // A game whose archive no ROM folder holds is named, not played.
    temp.Write("add.sh", "#!/bin/sh\nprintf '%s\\000' game gone 1\n");
    window->Opening().OpenMusic({QByteArray::fromStdString(roms + "tune.vgm")});
    ASSERT_TRUE(added.wait(20000));
    EXPECT_EQ(window->Engine().Status().currentGame, 1);
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back().text.rfind("The music was added as the game gone, but", 0), 0u);

    // Nor is a game whose archive a ROM folder searched first shadows.
    dialogs.shown.clear();
    temp.Write("add.sh",
               "#!/bin/sh\nprintf '%s\\000' game beta 2 archive beta /elsewhere/beta.zip\n");
    window->Opening().OpenMusic({QByteArray::fromStdString(roms + "tune.vgm")});
    ASSERT_TRUE(added.wait(20000));
    EXPECT_EQ(window->Engine().Status().currentGame, 1);
    EXPECT_EQ(dialogs.Texts(),
              std::vector<std::string>{"The music was added as the game beta in "
                                       "/elsewhere/beta.zip, but Tarvo finds that game's archive "
                                       "first in " +
                                       window->ROMList().GetRomPath(1) +
                                       ". Check Options > Setup ROM Folder List."});

    // Records the player did not ask for are passed over: a refusal of an
    // input it never handed over, a clip the game cannot have.
    dialogs.shown.clear();
    window->Engine().StopPlayer();
    temp.Write("add.sh", "#!/bin/sh\nprintf '%s\\000' refused /etc/passwd '<b>no</b>' "
                         "game beta 40000 refused " +
                             roms + "tune.vgm '<b>why</b>'\n");
    window->Opening().OpenMusic({QByteArray::fromStdString(roms + "tune.vgm")});
    ASSERT_TRUE(added.wait(20000));
    EXPECT_EQ(window->Engine().Status().state, PlayerState::Stopped);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              "Tarvo cannot play this file:\n\n" + roms + "tune.vgm: <b>why</b>");

    // No name at all is not taken for the current folder.
    dialogs.shown.clear();
    window->Opening().OpenMusic({QByteArray()});
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Tarvo cannot play this file:\n\n(an "
                                                        "empty name): it names no file or folder"});
    EXPECT_FALSE(window->Opening().Opener().Busy());

    // A folder of many games is counted first, and added only when the user agrees.
    temp.Write("add.sh", "#!/bin/sh\n[ \"$1\" = --count ] && { echo 1208; exit 0; }\n"
                         "printf '%s\\000' game beta 2\n");
    for (const bool agree : {false, true}) {
        dialogs = ScriptedDialogs();
        dialogs.answers = {agree};
        window->Engine().StopPlayer();
        window->Opening().OpenMusic({QByteArray::fromStdString(roms)});
        ASSERT_TRUE(added.wait(20000));
        while (window->Opening().Opener().Busy()) // the count, then the adding
            ASSERT_TRUE(added.wait(20000));
        EXPECT_EQ(dialogs.Texts(),
                  (std::vector<std::string>{"Tarvo would add 1208 games from:\n\n" + roms +
                                            "\n\nAdd them all?"}));
        EXPECT_EQ(window->Engine().Status().state,
                  agree ? PlayerState::Playing : PlayerState::Stopped);
    }
}

// The position bar and the arrow keys move a clip, unless the clip list or
// a field takes the arrows; a clip of unknown length moves within three
// minutes, or the loop limit. The Voices window lists the core's voices: a cleared box mutes
// one, "All" lets every one sound again.
TEST_F(Window, ThePositionBarAndTheArrowsMoveAClipAndTheVoicesWindowMutes) {
    core.tellsTunes = true;
    core.tunes = {"", "", "", "Boss", "Jingle"};
    core.lengthsMs = {-1, -1, -1, 165000, -1};
    core.voices = {{"Square 1", false}, {"Noise", false}};
    Load(0, 3);
    auto* bar = Find<QSlider>(kPositionBar);
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_EQ(bar->maximum(), 165);
    EXPECT_EQ(Find<QLineEdit>(kElapsed)->text(), u"00:00 / 02:45"_s);
    core.calls.clear();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    window->show();
    QApplication::setActiveWindow(window.get());
    for (auto [target, key] :
         {std::pair<QWidget*, Qt::Key>{Find<QPushButton>(kStop), Qt::Key_Right},
          {List(), Qt::Key_Left},
          {Find<QLineEdit>(kClipTitle), Qt::Key_Left}}) {
        target->setFocus();
        QTest::keyClick(target, key);
    }
    // From a button and from the clip list the arrows seek; in a field they
    // move the cursor.
    EXPECT_EQ(core.TakeActions(),
              (std::vector<std::string>{"Command(SEEK, 5000)", "Command(SEEK, 10000)",
                                        "Command(SEEK, 5000)"}));
    EXPECT_EQ(bar->value(), 5);
    bar->setSliderDown(true); // a drag shows where it would go, and goes there when let go
    bar->setSliderPosition(42);
    EXPECT_EQ(QToolTip::text(), u"00:42"_s);
    bar->setSliderDown(false);
    EXPECT_EQ(core.TakeActions(), std::vector<std::string>{"Command(SEEK, 42000)"});
    window->Engine().PlayClip(4); // of unknown length: the bar reaches three minutes
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_EQ(bar->maximum(), 180);
    EXPECT_EQ(Find<QLineEdit>(kElapsed)->text(), u"00:00"_s);

    window->Command(kMenuVoices);
    ASSERT_NE(window->Windows().VoicesWindow(), nullptr);
    auto* voices = qobject_cast<QListWidget*>(
        window->Windows().VoicesWindow()->ControlById(CDlgVoices::kVoiceList));
    ASSERT_EQ(voices->count(), 2);
    EXPECT_EQ(voices->item(1)->text(), u"Noise"_s);
    EXPECT_EQ(voices->item(1)->checkState(), Qt::Checked);
    core.calls.clear();
    voices->item(1)->setCheckState(Qt::Unchecked);
    qobject_cast<QPushButton*>(window->Windows().VoicesWindow()->ControlById(CDlgVoices::kAll))
        ->click();
    EXPECT_EQ(core.TakeActions(),
              (std::vector<std::string>{"Command(MUTE_VOICE, 1)", "Command(UNMUTE_VOICE, -1)"}));
}

// A core error met in the timer's service call is shown once that call has
// returned, from the event loop: the tick, and the sound and meters with it,
// goes on while the box is open.
TEST_F(Window, ACoreErrorIsShownOutsideTheCoresCallWhileTheTickGoesOn) {
    Load(0, 1);
    bool sent = false;
    core.onCommand = [this, &sent, answer = core.onCommand](int code, int argument) {
        answer(code, argument);
        if (code != CORE_CMD_SERVICE || std::exchange(sent, true)) return;
        core.SendText(CORE_MSG_ERROR, "the emulator stopped");
    };
    int callsUnderWay = -1;
    bool tickedWhileShown = false;
    dialogs.onShow = [&](const std::string&) {
        callsUnderWay = core.callsUnderWay;
        QSignalSpy tick(&window->Timers().Timer(), &QTimer::timeout);
        tickedWhileShown = tick.wait(2000);
    };
    QSignalSpy ticks(&window->Timers().Timer(), &QTimer::timeout);
    ASSERT_TRUE(ticks.wait(2000));
    EXPECT_TRUE(sent);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.Texts(),
              std::vector<std::string>{"Sound Core reported an error: the emulator stopped"});
    EXPECT_EQ(callsUnderWay, 0);
    EXPECT_TRUE(tickedWhileShown);
}
