#pragma once

// The toolkit's callback is the framework's, which the localizer reports through too.
#include "framework/base/IEventListener.h"
