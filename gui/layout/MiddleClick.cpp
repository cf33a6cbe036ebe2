#include "gui/layout/IAppWindow.h"

namespace s::app {

std::u16string_view middleClickText(MiddleClick action) {
  switch (action) {
    case MiddleClick::kClose:
      return u"Close";
    case MiddleClick::kIconize:
      return u"Iconize";
    case MiddleClick::kDoNothing:
      break;
  }
  return u"DoNothing";
}

MiddleClick middleClickFrom(std::u16string_view text) {
  if (text == u"Close") {
    return MiddleClick::kClose;
  }
  if (text == u"Iconize") {
    return MiddleClick::kIconize;
  }
  return MiddleClick::kDoNothing;
}

}  // namespace s::app
