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

// CORE_MSG_ROM_PATH: the core asks for the full path of a ROM archive named
// in `buffer`. It is answered inside the core's call, so what went wrong is
// left in `problem` for the person to be told afterwards.
int AnswerRomPathRequest(void* buffer, const CROMList& romList, std::string& problem);

// CORE_MSG_ERROR: the core reports an error.
void ShowCoreError(const char* text, IDialogs& dialogs);

// The loaded game's tunes as the core found them (index = clip number), or
// nothing when the core cannot tell.
std::vector<FoundTune> AskLoadedGameTunes(ICore& core);

} // namespace tarvo
