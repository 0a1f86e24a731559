// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's fields, transport buttons, window icon and meters.
#include "kit/DialogLayout.h"
#include "kit/IconLibrary.h"
#include "ui/MainWindowIds.h"
#include "ui/PlayerDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QWindow>

namespace tarvo {

namespace {

constexpr int kPlayIcon = 105;
constexpr int kPauseIcon = 106;
constexpr int kRecIcon = 101;

// The clock shows the fields five times a second; an edit given its own text
// again would still lay it out and repaint it.
void SetEditText(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) edit->setText(text);
}

} // namespace

void CPlayerDlg::ShowFields(const PlayerFields& fields) {
    auto setEdit = [this](int id, const std::string& text) {
        SetEditText(Control<QLineEdit>(m_controls, id), QString::fromStdString(text));
    };
    auto setLabel = [this](int id, const std::string& text) {
        Control<QLabel>(m_controls, id)->setText(QString::fromStdString(text));
    };
    setEdit(kBrowserTitle, fields.browserTitle);
    setEdit(kGameTitle, fields.gameName);
    setEdit(kRomFile, fields.romFile);
    setLabel(kParent, fields.parent);
    setLabel(kManufacturer, fields.manufacturer);
    setLabel(kDriver, fields.driverText);
    // A field being typed in keeps its text, until another clip comes: then
    // a typed title goes to the clip it was typed for, and both fields show
    // the new clip.
    CGameEntry* game = m_engine->LoadedGame();
    const bool otherClip = game != m_fieldsGame || fields.clipNumber != m_fieldsClip;
    if (otherClip) {
        KeepTypedTitle();
        m_fieldsGame = game;
        m_fieldsClip = fields.clipNumber;
    }
    if (otherClip || !m_clipNumberEdit->hasFocus())
        SetEditText(m_clipNumberEdit,
                    fields.clipNumber < 0 ? QString() : QString::number(fields.clipNumber));
    if (otherClip || !m_clipTitleEdit->hasFocus()) {
        setEdit(kClipTitle, fields.clipTitle);
        m_clipTitleEdit->setModified(false);
    }
    setEdit(kElapsed, fields.elapsed);
    m_positionBar->Show(fields);
    Control<QCheckBox>(m_controls, kNormalize)->setChecked(m_config.Normalize != 0);
    Control<QCheckBox>(m_controls, kShowBlanks)->setChecked(m_config.ShowBlanks != 0);
    Control<QCheckBox>(m_controls, kShuffle)->setChecked(m_config.Shuffle != 0);
}

void CPlayerDlg::SetEnabled(int id, bool enabled) {
    if (QWidget* control = m_controls.value(id)) control->setEnabled(enabled);
}

void CPlayerDlg::UpdateTransportButtons() {
    const PlayerState state = m_engine->Status().state;
    // A long seek (a C64 tune played there unheard) shows the busy cursor.
    if (m_engine->Status().Seeking())
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
    const bool active = state != PlayerState::Idle && state != PlayerState::Busy;
    const bool sounding = active && state != PlayerState::Stopped;
    EnableTransportControls(active, sounding);
    RestoreUserFocus();
    SetPlayIcon(sounding ? kPauseIcon : kPlayIcon);
    SetRecIcon(kRecIcon);
    int sequence = 3;
    if (state == PlayerState::Playing) sequence = 0;
    if (state == PlayerState::Paused) sequence = 2;
    if (IsRecording(state)) sequence = 4;
    SelectIconSequence(sequence);
}

void CPlayerDlg::EnableTransportControls(bool active, bool sounding) {
    const QScopedValueRollback updating(m_updatingControls, true);
    const bool playlistMode = m_engine->Status().playlistMode;
    const bool idle = m_engine->Status().state == PlayerState::Idle;
    SetEnabled(kNext, active || (idle && playlistMode));
    SetEnabled(kPrev, active);
    m_clipNumberEdit->setEnabled(active && !playlistMode);
    m_clipTitleEdit->setEnabled(active);
    SetEnabled(kPlay, active || playlistMode);
    SetEnabled(kStop,
               sounding || m_engine->Status().state == PlayerState::Busy); // STOP ends a load
    SetEnabled(kRec, active);
}

void CPlayerDlg::SelectIconSequence(int sequence) {
    m_icons.Select(sequence);
}

void CPlayerDlg::AdvanceWindowIcon() {
    const int icon = m_icons.Advance();
    if (icon == m_windowIcon) return;
    m_windowIcon = icon;
    // Straight to the window system: the widget's own setWindowIcon would
    // tell every child widget of the change, five times a second.
    if (QWindow* handle = windowHandle()) handle->setIcon(m_iconFrames.value(icon));
}

void CPlayerDlg::SetPlayIcon(int icon) {
    Button(kPlay)->setIcon(CIconLibrary::Icon(icon));
}

void CPlayerDlg::SetRecIcon(int icon) {
    Button(kRec)->setIcon(CIconLibrary::Icon(icon));
}

void CPlayerDlg::SetMeterLevels(int left, int right) {
    CVUMeter::SetLevels(m_leftMeter, left, m_rightMeter, right);
}

void CPlayerDlg::SetTickNeed(TickNeed need) {
    m_tickNeed = need;
    if (need == TickNeed::None)
        m_timer.stop();
    else
        m_timer.start(need == TickNeed::Timer ? CPlayerEngine::kTimerPeriodMs
                                              : CPlayerEngine::kClockPeriodMs);
}

// From the event loop, so that a box opened there leaves the tick running.
void CPlayerDlg::PersonNeeded() {
    QMetaObject::invokeMethod(
        this, [this] { m_engine->ServePerson(); }, Qt::QueuedConnection);
}

} // namespace tarvo
