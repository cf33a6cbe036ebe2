#include "app/ToolkitDemo.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "app/DemoList.h"
#include "app/DemoMenus.h"
#include "framework/base/IEventListener.h"
#include "framework/str/Utf8.h"
#include "gui/drawer/Glyphs.h"
#include "gui/drawer/Skinner.h"
#include "gui/layout/Box.h"
#include "gui/layout/Window.h"
#include "gui/widgets/Button.h"
#include "gui/widgets/Counter.h"
#include "gui/widgets/Font.h"
#include "gui/widgets/Label.h"
#include "gui/widgets/StatusBar.h"
#include "platform/ui/DesktopScale.h"

namespace s::app {

namespace {

using gui::drawer::Skinner;
using gui::win::Box;
using gui::win::Button;
using gui::win::Counter;
using gui::win::Label;
using gui::win::StatusBar;
using gui::win::Window;
using platform::ui::DesktopScale;

constexpr std::u16string_view kFamily = u"ThinWindow";
constexpr std::uint32_t kGraphTimer = 1;
constexpr std::uint32_t kEndTimer = 2;
constexpr std::uint32_t kGraphMs = 500;
constexpr std::int64_t kGraphScale = 64 * 1024;

struct Script {
  std::u16string_view name;
  std::u16string_view text;
};

constexpr Script kScripts[] = {
    {u"Latin", u"Network connections — état, déjà vu"},
    {u"Cyrillic", u"Сетевые соединения"},
    {u"Greek", u"Συνδέσεις δικτύου"},
    {u"Chinese", u"网络连接"},
    {u"Japanese", u"ネットワーク接続"},
    {u"Korean", u"네트워크 연결"},
    {u"Arabic", u"اتصالات الشبكة"},
};

std::u16string fromUtf8(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  text.resize(str::utf8::decode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                                text.data()));
  return text;
}

std::string toUtf8(std::u16string_view text) {
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(str::utf8::encode(text, reinterpret_cast<std::uint8_t*>(bytes.data())));
  return bytes;
}

struct Options {
  long seconds = 0;
  std::string skin;
  bool idle = false;
  // Rows of the demo list; 0 for none.
  long listRows = 0;
};

constexpr long kMaxListRows = 1000000;

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--seconds" && i + 1 < argc) {
      char* end = nullptr;
      options.seconds = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || options.seconds <= 0 || options.seconds > 86400) {
        return false;
      }
    } else if (arg == "--skin" && i + 1 < argc) {
      options.skin = argv[++i];
    } else if (arg == "--idle") {
      options.idle = true;
    } else if (arg == "--list" && i + 1 < argc) {
      char* end = nullptr;
      options.listRows = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || options.listRows <= 0 || options.listRows > kMaxListRows) {
        return false;
      }
    } else {
      return false;
    }
  }
  return true;
}

// The window and its widgets; the window goes first (it shows the skinner's skins).
class Demo final : public gui::events::IEventListener {
 public:
  Demo(Skinner* skinner, std::uint32_t skin, bool idle, long listRows)
      : skinner_(skinner),
        skin_(skin),
        idle_(idle),
        menus_(*skinner, [this](std::uint32_t index) { showSkin(index); }) {
    if (listRows > 0) {
      list_ = std::make_unique<DemoList>(static_cast<std::uint32_t>(listRows), idle);
    }
  }
  ~Demo() override {
    // The list's changes stop before the window that shows it goes.
    if (list_ != nullptr) {
      list_->stop();
    }
  }
  Demo(const Demo&) = delete;
  Demo& operator=(const Demo&) = delete;

  bool build() {
    window_ = Window::make();
    if (!window_->isCreated()) {
      return false;
    }
    window_->setTitle(std::u16string_view(u"Netvigil toolkit demo"));
    window_->setSkin(skinner_->getSkin(skin_), false);
    window_->setLayoutVertical();
    window_->add(menus_.bar());
    menus_.attach(*window_);
    menus_.markSkin(skin_);
    window_->add(buildContent());
    window_->add(buildStatusBar());
    if (list_ != nullptr) {
      window_->setBounds(40, 40, DesktopScale::px(840), DesktopScale::px(600));
    } else {
      window_->setBounds(40, 40, DesktopScale::px(560), DesktopScale::px(400));
    }
    window_->addTimerListener(this);
    window_->show(true);
    if (list_ != nullptr) {
      list_->start();
    }
    return true;
  }

  void run(long seconds) {
    if (!idle_) {
      window_->setTimer(kGraphTimer, kGraphMs);
    }
    if (seconds > 0) {
      window_->setTimer(kEndTimer, static_cast<std::uint32_t>(seconds * 1000));
    }
    window_->waitUntilClosed();
    if (list_ != nullptr) {
      list_->stop();
    }
  }

  void onEvent(IObject* source, std::int32_t code) override {
    if (source == skinButton_ && code == Button::kEventClick) {
      showSkin((skin_ + 1) % skinner_->getSkinCount());
    } else if (code == gui::kWindowTimer && window_->getTimerId() == kEndTimer) {
      window_->close();
    } else if (code == gui::kWindowTimer && window_->getTimerId() == kGraphTimer) {
      sample();
    }
  }

 private:
  Box* buildContent() {
    Box* content = Box::newBox(100, 100, 0, 0, 8, 6, 10, 8, gui::kLayoutVertical);
    content->setTransparent(false);

    Box* skinRow = Box::newBox(100, -1, 0, 1, 8, 0, 0, 0, gui::kLayoutHorizontal);
    skinRow->setTransparent(false);
    skinButton_ = Button::newButtonText(u"Next skin", 90, 20);
    skinButton_->addClickListener(this);
    skinRow->add(skinButton_);
    skinRow->add(Label::newLabel(u"Skin:", false, 0));
    skinName_ = Label::newLabel(skinner_->getSkinName(skin_), false, 0);
    skinRow->add(skinName_);
    content->add(skinRow);
    // The list takes the room of the scripts and glyphs.
    if (list_ != nullptr) {
      content->add(list_->panel());
      return content;
    }

    Box* scripts = Box::newBox(100, -1, 0, 0, 0, 3, 0, 0, gui::kLayoutVertical);
    scripts->setTransparent(false);
    for (const Script& script : kScripts) {
      const std::u16string line = std::u16string(script.name) + u": " + std::u16string(script.text);
      scripts->add(Label::newLabel(line, false, 0));
    }
    content->add(scripts);

    Box* glyphs = Box::newBox(100, -1, 0, 0, 4, 4, 0, 0, gui::kLayoutFlowH);
    glyphs->setTransparent(false);
    for (std::u16string_view name : gui::drawer::Glyphs::names()) {
      // The grip belongs to the status bar; the colour glyph needs its colour.
      if (name == u"#Resizer") {
        continue;
      }
      const std::u16string caption = name == u"#Color-" ? u"#Color-3A7BD5" : std::u16string(name);
      glyphs->add(Button::newButtonText(caption, 22, 22));
    }
    content->add(glyphs);
    return content;
  }

  StatusBar* buildStatusBar() {
    StatusBar* bar = StatusBar::newStatusBar();
    bar->setFixedHeight(20, false);
    bar->add(Label::newLabel(u"Traffic", false, gui::win::Font::kSmallCode));
    graph_ = Counter::newCounter(-1, -1);
    graph_->setFixedWidth(160, false);
    graph_->setFixedHeight(14, false);
    graph_->setInsets(1, 1, 1, 1);
    graph_->setShowSecond(true);
    for (gui::counter::CounterData* series : {graph_->getSeries1(), graph_->getSeries2()}) {
      series->setUnbounded(true);
      series->setScaleFloor(kGraphScale);
      series->prepare();
    }
    bar->add(graph_);
    rate_ = Label::newLabel(idle_ ? u"Graph paused" : u"Waiting for samples", false,
                            gui::win::Font::kSmallCode);
    bar->add(rate_);
    return bar;
  }

  void showSkin(std::uint32_t index) {
    skin_ = index;
    menus_.markSkin(index);
    window_->setSkin(skinner_->getSkin(skin_), false);
    skinName_->setText(skinner_->getSkinName(skin_), true);
  }

  // Made-up traffic: two slow waves with a little noise, so the graph keeps moving.
  void sample() {
    ++ticks_;
    noise_ = noise_ * 1103515245U + 12345U;
    const double t = static_cast<double>(ticks_);
    const double jitter = static_cast<double>((noise_ >> 16) & 0xFFFU) / 4096.0;
    const auto in =
        static_cast<std::int64_t>(kGraphScale * (0.45 + 0.35 * std::sin(t / 5.0) + 0.15 * jitter));
    const auto out = static_cast<std::int64_t>(kGraphScale * (0.25 + 0.2 * std::cos(t / 3.0)));
    graph_->getSeries1()->add(in);
    graph_->getSeries2()->add(out);
    char text[64];
    std::snprintf(text, sizeof text, "In %.1f KB/s  Out %.1f KB/s", static_cast<double>(in) / 1024,
                  static_cast<double>(out) / 1024);
    rate_->setText(fromUtf8(text), true);
  }

  Skinner* skinner_;
  std::uint32_t skin_;
  bool idle_;
  std::uint32_t ticks_ = 0;
  std::uint32_t noise_ = 1;
  Button* skinButton_ = nullptr;
  Label* skinName_ = nullptr;
  Counter* graph_ = nullptr;
  Label* rate_ = nullptr;
  // Before the window: the list's columns read their titles from its localizer until the window
  // lets them go.
  std::unique_ptr<DemoList> list_;
  // Before the window too: it holds the menus while it lives.
  DemoMenus menus_;
  PoolPtr<Window> window_;
};

}  // namespace

int runToolkitDemo(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: netvigil --toolkit-demo [--seconds N] [--skin NAME] [--idle] "
                 "[--list ROWS]\n");
    return 2;
  }
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    std::fprintf(stderr, "netvigil: the toolkit demo needs an X display, and DISPLAY is not set\n");
    return 1;
  }
  PoolPtr<Skinner> skinner(Skinner::newSkinner(kFamily));
  std::int32_t skin = 0;
  if (!options.skin.empty()) {
    skin = skinner->findSkin(fromUtf8(options.skin));
    if (skin < 0) {
      std::fprintf(stderr, "netvigil: unknown skin \"%s\"; the skins are:\n", options.skin.c_str());
      for (std::uint32_t i = 0; i < skinner->getSkinCount(); ++i) {
        std::fprintf(stderr, "  %s\n", toUtf8(skinner->getSkinName(i)).c_str());
      }
      return 2;
    }
  }
  Demo demo(skinner.get(), static_cast<std::uint32_t>(skin), options.idle, options.listRows);
  if (!demo.build()) {
    std::fprintf(stderr, "netvigil: cannot open the X display \"%s\"\n", display);
    return 1;
  }
  demo.run(options.seconds);
  return 0;
}

}  // namespace s::app
