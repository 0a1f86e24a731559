// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/Config.h"

#include <string>

namespace tarvo {

// What the Options dialog does to the settings, without the dialog.

// Copies the twelve settings the Options dialog edits, and no others.
void CopyOptionSettings(const Config& from, Config& to);

// A time typed for the loop or recording limit: "m:s", "h:m:s", plain seconds,
// "." for ":"; a negative result stands for five minutes.
int TimeFromText(const std::string& text);

// One notification of the segment-size slider. Every step, line or page,
// moves one position from the stored value, not from the slider's.
enum class SliderStep { Less, More, ToFirst, ToLast, Moved, Done };
int SegmentWidthAfter(int stored, SliderStep step, int reportedPosition);

// The VU meter's colours, gradient and segment size as they come; the
// general options are left alone.
void ResetVUDefaults(Config& config);

} // namespace tarvo
