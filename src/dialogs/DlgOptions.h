// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/Config.h"
#include "widgets/VUMeter.h"

#include <array>
#include <QDialog>
#include <QHash>
#include <string>
#include <vector>

class QLineEdit;
class QSlider;

namespace tarvo {

class CROMList;
class IDialogs;

// "Tarvo Options": the general options, the VU meter's look with a live
// preview, and the ROM folder list. It edits its own copy, Settings, which
// the main window gives before and takes back only on OK; the folder list
// belongs to the game list and changes at once.
class CDlgOptions : public QDialog {
    Q_OBJECT
public:
    // The controls, by their numbers in the dialog's layout table.
    enum ControlId {
        kOk = 1,
        kCancel = 2,
        kLeftPreview = 1016,
        kNormalize = 1019,
        kShowBlanks = 1012,
        kLoopTime = 1027,
        kEnforceLoopTime = 1028,
        kWavTime = 1030,
        kFolderList = 1032,
        kResetVU = 1037,
        kOnSilence = 1042,
        kAutoMark = 1050,
        kGradient = 1055,
        kSegmentSize = 1057,
        kFirstSwatch = 1058,
        kRightPreview = 1061,
        kPlayKnownLength = 1062,
        kLoopCount = 1065,
        kFadeSeconds = 1066,
        kOutputDevice = 1067,
    };

    CDlgOptions(CROMList& romList, IDialogs& dialogs, QWidget* parent = nullptr);

    Config Settings;
    // The sound output devices the system has, listed after "System default".
    std::vector<std::string> Devices;

    int exec() override;
    // The dialog's start: fields, previews, swatches and slider from Settings.
    void Open();
    void CommitLoopTime();
    void CommitWavTime();
    void SliderAction(int action);
    // Opens the colour chooser when `point` (client coordinates) is on a swatch.
    void PickSwatchColor(const QPoint& point);
    void ResetVUDefaults();
    void SetupROMFolders();
    void accept() override;

    QWidget* ControlById(int id) const { return m_controls.value(id); }
    const CVUMeter& Preview(int which) const { return which == 0 ? m_lit : m_dim; }
    QRect SwatchRect(int which) const { return m_swatches[which]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ConnectControls();
    void ShowDevices();
    void CommitTime(QLineEdit* field, int Config::*setting);
    // A whole number within its bounds; anything else keeps the setting.
    void CommitNumber(QLineEdit* field, int Config::*setting, int most);
    void CommitNumbers();
    void ShowPreviewColors();
    void ShowSegmentWidth();
    RgbColor& SwatchColor(int which);

    CROMList& m_romList;
    IDialogs& m_dialogs;
    QHash<int, QWidget*> m_controls;
    QLineEdit* m_loopTime;
    QLineEdit* m_wavTime;
    QLineEdit* m_loopCount;
    QLineEdit* m_fadeSeconds;
    QSlider* m_slider;
    CVUMeter m_lit;
    CVUMeter m_dim;
    std::array<QRect, 3> m_swatches;
    bool m_opened = false;
};

} // namespace tarvo
