// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainWindowView.h"

#include "kit/DialogLayout.h"
#include "kit/IconLibrary.h"
#include "ui/MainWindowIds.h"
#include "ui/PlayerDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarvo {

namespace {

constexpr int kPlayIcon = 105;
constexpr int kPauseIcon = 106;
constexpr int kRecIcon = 101;

// The clock shows the fields five times a second; an edit given its own text
// again would still lay it out and repaint it.
void SetEditText(QWidget* control, const std::string& text) {
    auto* edit = static_cast<QLineEdit*>(control);
    const QString shown = QString::fromStdString(text);
    if (edit->text() != shown) edit->setText(shown);
}

void SetLabelText(QWidget* control, const std::string& text) {
    static_cast<QLabel*>(control)->setText(QString::fromStdString(text));
}

void SetChecked(QWidget* control, int value) {
    static_cast<QCheckBox*>(control)->setChecked(value != 0);
}

} // namespace

void CMainWindowView::ShowFields(const PlayerFields& fields) {
    CPlayerDlg& w = m_window;
    SetEditText(w.ControlById(kBrowserTitle), fields.browserTitle);
    SetEditText(w.ControlById(kGameTitle), fields.gameName);
    SetEditText(w.ControlById(kRomFile), fields.romFile);
    SetLabelText(w.ControlById(kParent), fields.parent);
    SetLabelText(w.ControlById(kManufacturer), fields.manufacturer);
    SetLabelText(w.ControlById(kDriver), fields.driverText);
    w.Clips().ShowClipFields(fields);
    SetEditText(w.ControlById(kElapsed), fields.elapsed);
    w.PositionBar().Show(fields);
    SetChecked(w.ControlById(kNormalize), w.Settings().Normalize);
    SetChecked(w.ControlById(kShowBlanks), w.Settings().ShowBlanks);
    SetChecked(w.ControlById(kShuffle), w.Settings().Shuffle);
}

void CMainWindowView::UpdateTransportButtons() {
    const PlayerStatus& status = m_window.Engine().Status();
    // A long seek (a C64 tune played there unheard) shows the busy cursor.
    if (status.Seeking())
        m_window.setCursor(Qt::BusyCursor);
    else
        m_window.unsetCursor();
    // A seek leaves the transport as the clip had it.
    const PlayerState state = status.StateOfTheClip();
    const bool active = state != PlayerState::Idle && state != PlayerState::Busy;
    const bool sounding = active && state != PlayerState::Stopped;
    EnableTransportControls(active, sounding);
    m_window.Focus().Restore();
    SetPlayIcon(sounding ? kPauseIcon : kPlayIcon);
    SetRecIcon(kRecIcon);
    int sequence = 3;
    if (state == PlayerState::Playing) sequence = 0;
    if (state == PlayerState::Paused) sequence = 2;
    if (IsRecording(state)) sequence = 4;
    SelectIconSequence(sequence);
}

void CMainWindowView::EnableTransportControls(bool active, bool sounding) {
    const CFocusKeeper::Updating updating(m_window.Focus());
    const PlayerStatus& status = m_window.Engine().Status();
    const bool playlistMode = status.playlistMode;
    const bool idle = status.StateOfTheClip() == PlayerState::Idle;
    m_window.SetEnabled(kNext, active || (idle && playlistMode));
    m_window.SetEnabled(kPrev, active);
    m_window.SetEnabled(kClipNumber, active && !playlistMode);
    m_window.SetEnabled(kClipTitle, active);
    m_window.SetEnabled(kPlay, active || playlistMode);
    m_window.SetEnabled(kStop,
                        sounding || status.state == PlayerState::Busy); // STOP ends a load too
    m_window.SetEnabled(kRec, active);
}

void CMainWindowView::UpdateMenus() {
    m_window.UpdateMenus();
}

void CMainWindowView::SelectClipRow(int clipOrPosition) {
    m_window.Clips().SelectClipRow(clipOrPosition);
}

void CMainWindowView::RefreshClipRow(int clip) {
    m_window.Clips().RefreshClipRow(clip);
}

void CMainWindowView::FillClipList(CGameEntry& game) {
    m_window.Clips().FillClipList(game);
}

void CMainWindowView::ClearClipList() {
    m_window.Clips().ClearClipList();
}

void CMainWindowView::RefreshPlaylistRows() {
    m_window.Mode().RefreshPlaylistRows();
}

void CMainWindowView::SelectIconSequence(int sequence) {
    m_window.Icon().Select(sequence);
}

void CMainWindowView::AdvanceWindowIcon() {
    m_window.Icon().Advance();
}

void CMainWindowView::SetPlayIcon(int icon) {
    static_cast<QPushButton*>(m_window.ControlById(kPlay))->setIcon(CIconLibrary::Icon(icon));
}

void CMainWindowView::SetRecIcon(int icon) {
    static_cast<QPushButton*>(m_window.ControlById(kRec))->setIcon(CIconLibrary::Icon(icon));
}

void CMainWindowView::SetMeterLevels(int left, int right) {
    m_window.Meters().SetLevels(left, right);
}

void CMainWindowView::SetTickNeed(TickNeed need) {
    m_window.Timers().SetTickNeed(need);
}

void CMainWindowView::ClipSeeked(long long positionMs) {
    Q_EMIT m_window.ClipMoved(positionMs);
}

void CMainWindowView::VoicesChanged() {
    m_window.Windows().VoicesChanged();
}

// From the event loop, so that a box opened there leaves the tick running.
void CMainWindowView::PersonNeeded() {
    QMetaObject::invokeMethod(
        &m_window, [this] { m_window.Engine().ServePerson(); }, Qt::QueuedConnection);
}

} // namespace tarvo
