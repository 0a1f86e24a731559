// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgOptions.h"
#include "kit/DialogLayout.h"
#include "ui/WindowFixture.h"

#include <QComboBox>
#include <QStringList>

using namespace Qt::StringLiterals;
using namespace tarvo;
using namespace tarvo::test;
namespace {

class Options : public WindowTest {
protected:
    std::unique_ptr<CDlgOptions> Open() {
        auto options = std::make_unique<CDlgOptions>(window->ROMList(), dialogs);
        options->Settings = window->Settings();
        options->Open();
        options->show();
        QApplication::setActiveWindow(options.get());
        return options;
    }
    template <typename T> static T* Get(CDlgOptions& o, int id) {
        return qobject_cast<T*>(o.ControlById(id));
    }
};

} // namespace

TEST_F(Options, StartsWithTheSettingsAndBothPreviewsAndOnlyASwatchChoosesAColour) {
    window->Settings().MaxLoopTime = 300;
    window->Settings().OnSilence = 3;
    auto options = Open();
    EXPECT_EQ(options->windowTitle(), "Tarvo Options");
    EXPECT_EQ(Get<QLineEdit>(*options, CDlgOptions::kLoopTime)->text(), "05:00");
    EXPECT_EQ(Get<QSlider>(*options, CDlgOptions::kSegmentSize)->value(), 5);
    const CVUMeter& lit = options->Preview(0);
    const CVUMeter& dim = options->Preview(1);
    ASSERT_GT(lit.SegmentCount(), 2);
    EXPECT_TRUE(lit.IsLit(lit.SegmentCount() - 1)); // fed 32767: the lit colours
    EXPECT_FALSE(dim.IsLit(0));                     // fed 0: the dim colours

    dialogs.colors = {RgbColor{10, 20, 30}}; // only a swatch opens the chooser
    const QRect left = options->SwatchRect(0);
    QTest::mouseClick(options.get(), Qt::LeftButton, {}, left.bottomRight() + QPoint(40, 40));
    EXPECT_EQ(dialogs.colors.size(), 1u);
    QTest::mouseClick(options.get(), Qt::LeftButton, {}, left.center());
    EXPECT_TRUE(dialogs.colors.empty());
    EXPECT_EQ(options->Settings.VULeftColor, (RgbColor{10, 20, 30}));
    EXPECT_EQ(options->Preview(0).LitColor(0), QColor(10, 20, 30));
    if (const char* shot = std::getenv("TARVO_OPTIONS_SCREENSHOT")) options->grab().save(shot);
}

TEST_F(Options, ATimeIsTakenByOkOrByEnterWhichMovesOn) {
    auto options = Open();
    auto* loop = Get<QLineEdit>(*options, CDlgOptions::kLoopTime);
    loop->setFocus();
    loop->setText("2:30");
    QTest::keyClick(loop, Qt::Key_Return);
    EXPECT_TRUE(options->isVisible());
    EXPECT_EQ(options->Settings.MaxLoopTime, 150);
    EXPECT_EQ(loop->text(), "02:30");
    EXPECT_TRUE(options->ControlById(CDlgOptions::kWavTime)->hasFocus());

    Get<QLineEdit>(*options, CDlgOptions::kWavTime)->setText("-2:00");
    QTest::keyClick(options->ControlById(CDlgOptions::kWavTime), Qt::Key_Return);
    EXPECT_EQ(options->Settings.MaxWAVTime, 300);
    EXPECT_TRUE(options->ControlById(CDlgOptions::kOnSilence)->hasFocus());

    loop->setFocus();
    loop->setText("1.30");
    QTest::mouseClick(Get<QPushButton>(*options, CDlgOptions::kOk), Qt::LeftButton);
    EXPECT_EQ(options->Settings.MaxLoopTime, 90);
    EXPECT_EQ(options->result(), QDialog::Accepted);
}

TEST_F(Options, ThreePageStepsFromFiveGiveEightAndResetKeepsTheGeneralOptions) {
    auto options = Open();
    auto* slider = Get<QSlider>(*options, CDlgOptions::kSegmentSize);
    const int before = options->Preview(0).SegmentCount();
    for (int i = 0; i < 3; ++i)
        slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(options->Settings.VUSegmentWidth, 8);
    EXPECT_EQ(slider->value(), 8);
    EXPECT_LT(options->Preview(1).SegmentCount(), before);
    slider->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(options->Settings.VUSegmentWidth, 20);

    Get<QCheckBox>(*options, CDlgOptions::kNormalize)->click();
    options->Settings.UseVUGradient = 0;
    options->ResetVUDefaults(); // the meter's options only
    EXPECT_EQ(options->Settings.Normalize, 1);
    EXPECT_EQ(options->Settings.VUSegmentWidth, 5);
    EXPECT_TRUE(Get<QCheckBox>(*options, CDlgOptions::kGradient)->isChecked());
    EXPECT_EQ(slider->value(), 5);
}

TEST_F(Options, OkAppliesEverywhereAndCancelChangesNothing) {
    const Config before = window->Settings();
    const int segments = window->LeftMeter().SegmentCount();
    auto edit = [](QDialog& dialog) {
        auto& options = static_cast<CDlgOptions&>(dialog);
        options.findChild<QCheckBox*>(CDialogLayout::ObjectName(CDlgOptions::kNormalize))->click();
        options.findChild<QLineEdit*>(CDialogLayout::ObjectName(CDlgOptions::kLoopTime))
            ->setText("2:30");
        options.CommitLoopTime();
        options.findChild<QSlider*>(CDialogLayout::ObjectName(CDlgOptions::kSegmentSize))
            ->triggerAction(QAbstractSlider::SliderToMaximum);
        options.Settings.VULeftColor = {1, 2, 3};
        auto* known =
            options.findChild<QCheckBox*>(CDialogLayout::ObjectName(CDlgOptions::kPlayKnownLength));
        known->setChecked(true); // as opening shows the setting
        known->click();
        options.findChild<QLineEdit*>(CDialogLayout::ObjectName(CDlgOptions::kLoopCount))
            ->setText("3");
        options.findChild<QLineEdit*>(CDialogLayout::ObjectName(CDlgOptions::kFadeSeconds))
            ->setText("61"); // beyond the longest fade: kept as it was
    };
    window->SetModalRunner([&](QDialog& dialog) {
        edit(dialog);
        return int(QDialog::Rejected);
    });
    core.calls.clear();
    window->Command(kOptions);
    EXPECT_EQ(window->Settings(), before);
    EXPECT_EQ(window->LeftMeter().SegmentCount(), segments);
    EXPECT_TRUE(core.TakeActions().empty());

    window->SetModalRunner([&](QDialog& dialog) {
        edit(dialog);
        static_cast<CDlgOptions&>(dialog).accept(); // OK takes the numbers typed
        return dialog.result();
    });
    ASSERT_TRUE(window->Action(kOpenOptions)->isEnabled());
    window->Action(kOpenOptions)->trigger();
    EXPECT_EQ(window->Settings().MaxLoopTime, 150);
    EXPECT_EQ(window->Settings().VUSegmentWidth, 20);
    EXPECT_LT(window->LeftMeter().SegmentCount(), segments);
    EXPECT_EQ(window->RightMeter().LitColor(0), QColor(1, 2, 3));
    EXPECT_EQ(
        core.TakeActions(),
        (std::vector<std::string>{"SetOption(NORMALIZE, 1)", "SetOption(END_AT_LENGTH, 0)",
                                  "SetOption(LOOP_COUNT, 3)", "SetOption(TUNE_FADE_MS, 8000)"}));
    EXPECT_TRUE(qobject_cast<QCheckBox*>(window->ControlById(kNormalize))->isChecked());

    // Kept at once, so a crash after OK loses nothing; and the next start finds them.
    EXPECT_NE(temp.Read("Tarvo.ini").find("MaxLoopTime=150\n"), std::string::npos);
    ASSERT_TRUE(window->CloseSequence());
    EXPECT_NE(temp.Read("Tarvo.ini").find("MaxLoopTime=150\n"), std::string::npos);
    EXPECT_NE(temp.Read("Tarvo.ini").find("PlayKnownLength=0\nLoopCount=3\nFadeSeconds=8\n"),
              std::string::npos);
    EXPECT_NE(temp.Read("Tarvo.ini").find("VULeftColor=1 2 3\n"), std::string::npos);
}

// The devices the system has are listed after "System default"; the one
// chosen takes the sound at once and is kept by name, and a kept one that is
// unplugged stays listed as such.
TEST_F(Options, TheOutputDeviceChosenTakesTheSoundAndIsKeptByName) {
    core.outputDevices = {"Built-in Audio", "USB DAC"};
    window->Settings().Output.device = "Bluetooth Headphones";
    QStringList listed;
    window->SetModalRunner([&](QDialog& dialog) {
        static_cast<CDlgOptions&>(dialog).Open();
        auto* devices =
            dialog.findChild<QComboBox*>(CDialogLayout::ObjectName(CDlgOptions::kOutputDevice));
        for (int i = 0; i < devices->count(); ++i)
            listed << devices->itemText(i);
        EXPECT_EQ(devices->currentIndex(), 3);
        devices->setCurrentIndex(2);
        emit devices->activated(2);
        static_cast<CDlgOptions&>(dialog).accept();
        return dialog.result();
    });
    core.calls.clear();
    window->Command(kOptions);
    EXPECT_EQ(listed, (QStringList{u"System default"_s, u"Built-in Audio"_s, u"USB DAC"_s,
                                   u"Bluetooth Headphones (not connected)"_s}));
    EXPECT_EQ(window->Settings().Output.device, "USB DAC");
    EXPECT_EQ(core.options[CORE_OPT_OUTPUT_DEVICE], 1);
}
