#pragma once

#include "framework/lang/Localizer.h"

namespace s::app::win {

// The unit letters and month names of the duration and date texts, in the chosen language.
void localizeTimeTexts(lang::Localizer& localizer);

}  // namespace s::app::win
