// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgOptions.h"

#include "dialogs/DlgPathList.h"
#include "kit/DialogLayout.h"
#include "library/IDialogs.h"
#include "library/ROMList.h"
#include "player/PlayerEngine.h"
#include "player/TimeText.h"
#include "settings/OptionRules.h"

#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The check boxes and the setting each one shows.
using Id = CDlgOptions::ControlId;
constexpr std::pair<int, int Config::*> kFlags[] = {
    {Id::kNormalize, &Config::Normalize},
    {Id::kShowBlanks, &Config::ShowBlanks},
    {Id::kEnforceLoopTime, &Config::EnforceLoopTime},
    {Id::kAutoMark, &Config::AutoMark},
    {Id::kGradient, &Config::UseVUGradient},
    {Id::kPlayKnownLength, &Config::PlayKnownLength}};

QColor ToQColor(const RgbColor& c) {
    return QColor(c.red, c.green, c.blue);
}

QString ShortTime(int seconds) {
    return QString::fromStdString(FormatTime(seconds, false));
}

SliderStep StepOf(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
    case QAbstractSlider::SliderPageStepSub:
        return SliderStep::Less;
    case QAbstractSlider::SliderSingleStepAdd:
    case QAbstractSlider::SliderPageStepAdd:
        return SliderStep::More;
    case QAbstractSlider::SliderToMinimum:
        return SliderStep::ToFirst;
    case QAbstractSlider::SliderToMaximum:
        return SliderStep::ToLast;
    case QAbstractSlider::SliderMove:
        return SliderStep::Moved;
    default:
        return SliderStep::Done;
    }
}

} // namespace

CDlgOptions::CDlgOptions(CROMList& romList, IDialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_romList(romList), m_dialogs(dialogs) {
    m_controls = CDialogLayout::Build(this, u"129.layout"_s);
    m_loopTime = Control<QLineEdit>(m_controls, kLoopTime);
    m_loopCount = Control<QLineEdit>(m_controls, kLoopCount);
    m_fadeSeconds = Control<QLineEdit>(m_controls, kFadeSeconds);
    m_wavTime = Control<QLineEdit>(m_controls, kWavTime);
    m_slider = Control<QSlider>(m_controls, kSegmentSize);
    m_slider->setRange(0, 20);
    m_slider->setPageStep(1);
    Control<QComboBox>(m_controls, kOnSilence)
        ->addItems({u"Do nothing"_s, u"Stop the player"_s, u"Repeat the current clip"_s,
                    u"Move on to the next clip"_s});
    ConnectControls();
}

void CDlgOptions::ConnectControls() {
    for (const auto& [id, setting] : kFlags)
        connect(Control<QCheckBox>(m_controls, id), &QCheckBox::clicked, this,
                [this, id = id, setting = setting](bool checked) {
                    Settings.*setting = checked ? 1 : 0;
                    if (id == kGradient) ShowPreviewColors();
                });
    connect(Control<QComboBox>(m_controls, kOnSilence), &QComboBox::currentIndexChanged, this,
            [this](int index) { Settings.OnSilence = index; });
    QComboBox* devices = Control<QComboBox>(m_controls, kOutputDevice);
    connect(devices, &QComboBox::activated, this, [this, devices](int index) {
        Settings.Output.device = devices->itemData(index).toString().toStdString();
    });
    connect(m_slider, &QSlider::actionTriggered, this, &CDlgOptions::SliderAction);
    connect(Control<QPushButton>(m_controls, kResetVU), &QPushButton::clicked, this,
            &CDlgOptions::ResetVUDefaults);
    connect(Control<QPushButton>(m_controls, kFolderList), &QPushButton::clicked, this,
            &CDlgOptions::SetupROMFolders);
    connect(Control<QPushButton>(m_controls, kOk), &QPushButton::clicked, this,
            &CDlgOptions::accept);
    connect(Control<QPushButton>(m_controls, kCancel), &QPushButton::clicked, this,
            &QDialog::reject);
    for (QLineEdit* field : {m_loopTime, m_wavTime, m_loopCount, m_fadeSeconds})
        field->installEventFilter(this);
}

int CDlgOptions::exec() {
    if (!m_opened) Open();
    return QDialog::exec();
}

void CDlgOptions::Open() {
    m_opened = true;
    for (const auto& [id, setting] : kFlags)
        Control<QCheckBox>(m_controls, id)->setChecked(Settings.*setting != 0);
    m_loopTime->setText(ShortTime(Settings.MaxLoopTime));
    m_wavTime->setText(ShortTime(Settings.MaxWAVTime));
    m_loopCount->setText(QString::number(Settings.LoopCount));
    m_fadeSeconds->setText(QString::number(Settings.FadeSeconds));
    Control<QComboBox>(m_controls, kOnSilence)->setCurrentIndex(Settings.OnSilence);
    ShowDevices();
    m_lit.Attach(this, m_controls.value(kLeftPreview));
    m_dim.Attach(this, m_controls.value(kRightPreview));
    ShowSegmentWidth();
    ShowPreviewColors();
    m_lit.SetLevel(CVUMeter::kFullScale); // every segment lit: the lit colours show
    m_dim.SetLevel(0);                    // none lit: the dim colours show
    for (int i = 0; i < 3; ++i) {
        const QWidget* place = m_controls.value(kFirstSwatch + i);
        m_swatches[i] = QRect(place->mapTo(this, QPoint(0, 0)), place->size());
    }
}

// The chosen device stays listed while it is unplugged, so choosing again
// is the listener's to do.
void CDlgOptions::ShowDevices() {
    QComboBox* devices = Control<QComboBox>(m_controls, kOutputDevice);
    devices->clear();
    devices->addItem(u"System default"_s, QString());
    for (const std::string& name : Devices)
        devices->addItem(QString::fromStdString(name), QString::fromStdString(name));
    const QString chosen = QString::fromStdString(Settings.Output.device);
    if (!chosen.isEmpty() && devices->findData(chosen) < 0)
        devices->addItem(chosen + u" (not connected)"_s, chosen);
    devices->setCurrentIndex(std::max(devices->findData(chosen), 0));
}

// --- General options -------------------------------------------------------------

void CDlgOptions::CommitTime(QLineEdit* field, int Config::*setting) {
    Settings.*setting = TimeFromText(field->text().toStdString());
    field->setText(ShortTime(Settings.*setting));
}

void CDlgOptions::CommitLoopTime() {
    CommitTime(m_loopTime, &Config::MaxLoopTime);
}

void CDlgOptions::CommitWavTime() {
    CommitTime(m_wavTime, &Config::MaxWAVTime);
}

void CDlgOptions::CommitNumber(QLineEdit* field, int Config::*setting, int most) {
    bool number = false;
    const int value = field->text().trimmed().toInt(&number);
    if (number && value >= (setting == &Config::LoopCount ? 1 : 0) && value <= most)
        Settings.*setting = value;
    field->setText(QString::number(Settings.*setting));
}

void CDlgOptions::CommitNumbers() {
    CommitNumber(m_loopCount, &Config::LoopCount, kMostLoops);
    CommitNumber(m_fadeSeconds, &Config::FadeSeconds, kLongestFadeSeconds);
}

bool CDlgOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_loopTime) CommitLoopTime();
        if (watched == m_wavTime) CommitWavTime();
        if (watched == m_loopCount || watched == m_fadeSeconds) CommitNumbers();
    }
    return QDialog::eventFilter(watched, event);
}

// Enter in a time field commits it and moves on instead of closing.
void CDlgOptions::accept() {
    if (m_loopTime->hasFocus()) {
        CommitLoopTime();
        m_wavTime->setFocus();
        return;
    }
    if (m_wavTime->hasFocus()) {
        CommitWavTime();
        m_controls.value(kOnSilence)->setFocus();
        return;
    }
    CommitNumbers();
    QDialog::accept();
}

void CDlgOptions::SetupROMFolders() {
    CDlgPathList folders(m_romList, m_dialogs, this);
    folders.exec();
    if (!m_romList.IsScanned()) m_romList.ScanROMFolders();
}

// --- The VU meter ------------------------------------------------------------------

void CDlgOptions::SliderAction(int action) {
    Settings.VUSegmentWidth =
        SegmentWidthAfter(Settings.VUSegmentWidth, StepOf(action), m_slider->sliderPosition());
    ShowSegmentWidth();
}

void CDlgOptions::ShowSegmentWidth() {
    // Set as the slider's position, so the action being handled lands there too.
    m_slider->setSliderPosition(Settings.VUSegmentWidth);
    for (CVUMeter* preview : {&m_lit, &m_dim})
        preview->SetSegmentWidth(Settings.VUSegmentWidth);
}

void CDlgOptions::ShowPreviewColors() {
    for (CVUMeter* preview : {&m_lit, &m_dim})
        preview->SetColors(Settings.UseVUGradient != 0, ToQColor(Settings.VULeftColor),
                           ToQColor(Settings.VUMidColor), ToQColor(Settings.VURightColor));
}

RgbColor& CDlgOptions::SwatchColor(int which) {
    RgbColor Config::*const colors[] = {&Config::VULeftColor, &Config::VUMidColor,
                                        &Config::VURightColor};
    return Settings.*colors[which];
}

void CDlgOptions::PickSwatchColor(const QPoint& point) {
    for (int i = 0; i < 3; ++i) {
        if (!m_swatches[i].contains(point)) continue;
        if (const auto chosen = m_dialogs.ChooseColor(SwatchColor(i))) {
            SwatchColor(i) = *chosen;
            update(m_swatches[i]);
            ShowPreviewColors();
        }
        return;
    }
}

void CDlgOptions::ResetVUDefaults() {
    tarvo::ResetVUDefaults(Settings);
    ShowPreviewColors();
    ShowSegmentWidth();
    Control<QCheckBox>(m_controls, kGradient)->setChecked(true);
    for (const QRect& swatch : m_swatches)
        update(swatch);
}

void CDlgOptions::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) PickSwatchColor(event->position().toPoint());
    QDialog::mousePressEvent(event);
}

void CDlgOptions::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    for (int i = 0; i < 3; ++i) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_swatches[i].adjusted(0, 0, -1, -1));
        painter.fillRect(m_swatches[i].adjusted(1, 1, -1, -1), ToQColor(SwatchColor(i)));
    }
}

} // namespace tarvo
