// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/OptionRules.h"

#include "library/TextUtils.h"

#include <algorithm>

namespace tarvo {

namespace {

constexpr int kMaxSegmentWidth = 20;
constexpr int kDefaultLimitSeconds = 300;

} // namespace

void CopyOptionSettings(const Config& from, Config& to) {
    for (int Config::*field : {&Config::Normalize, &Config::ShowBlanks, &Config::EnforceLoopTime,
                               &Config::MaxLoopTime, &Config::MaxWAVTime, &Config::OnSilence,
                               &Config::AutoMark, &Config::UseVUGradient, &Config::VUSegmentWidth,
                               &Config::PlayKnownLength, &Config::LoopCount, &Config::FadeSeconds})
        to.*field = from.*field;
    for (RgbColor Config::*color :
         {&Config::VULeftColor, &Config::VUMidColor, &Config::VURightColor})
        to.*color = from.*color;
    to.Output.device = from.Output.device;
}

int TimeFromText(const std::string& text) {
    const int seconds = ParseTimeText(text);
    return seconds < 0 ? kDefaultLimitSeconds : seconds;
}

int SegmentWidthAfter(int stored, SliderStep step, int reportedPosition) {
    switch (step) {
    case SliderStep::Less:
        return std::max(stored - 1, 0);
    case SliderStep::More:
        return std::min(stored + 1, kMaxSegmentWidth);
    case SliderStep::ToFirst:
        return 0;
    case SliderStep::ToLast:
        return kMaxSegmentWidth;
    case SliderStep::Moved:
        return std::clamp(reportedPosition, 0, kMaxSegmentWidth);
    case SliderStep::Done:
        break;
    }
    return stored;
}

void ResetVUDefaults(Config& config) {
    const Config defaults;
    config.VULeftColor = defaults.VULeftColor;
    config.VUMidColor = defaults.VUMidColor;
    config.VURightColor = defaults.VURightColor;
    config.UseVUGradient = defaults.UseVUGradient;
    config.VUSegmentWidth = defaults.VUSegmentWidth;
}

} // namespace tarvo
