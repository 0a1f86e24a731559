// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/ClipInfo.h"

#include <string>
#include <vector>

namespace tarvo {

class CROMList;
class ICore;
class IDialogs;

// Copies a text with its terminating zero into a core-owned buffer of the
// agreed capacity; false (nothing written) when it does not fit.
bool CopyToCoreBuffer(void* buffer, const std::string& text);

// Message 11: the core asks for the full path of a ROM archive named in `buffer`.
int AnswerRomPathRequest(void* buffer, const CROMList& romList, IDialogs& dialogs);

// Message 13: the core reports an error.
void ShowCoreError(const char* text, IDialogs& dialogs);

// The loaded game's tunes as the core found them (index = clip number), or
// nothing when the core cannot tell.
std::vector<FoundTune> AskLoadedGameTunes(ICore& core);

} // namespace tarvo
