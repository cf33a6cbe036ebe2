#pragma once

#include "platform/ui/IFileChooser.h"

namespace s::platform {

// The desktop's own dialog through the XDG desktop portal. Save mode only, the one the program
// needs; an open request is unavailable.
class PortalFileChooser final : public ui::IFileChooser {
 public:
  ui::FileChoice choose(const ui::FileChooserRequest& request,
                        const std::atomic<bool>& abandon) override;
};

}  // namespace s::platform
