#include "service/PortalPage.h"

namespace vesk {

namespace {

constexpr int LINE_HEIGHT = 16;

RenderItem text(int x, int y, int w, const std::string& s, int32_t color, int32_t flags = 0) {
  RenderItem it;
  it.type = TEXT;
  it.x = x;
  it.y = y;
  it.width = w;
  it.height = LINE_HEIGHT - 2;
  it.color = color;
  it.text = s;
  it.flags = flags;
  return it;
}

}  // namespace

Page PortalPage::start(const std::string& host, const std::vector<std::string>& fixtures,
                       const std::vector<std::string>& sites) {
  Page p;
  p.title = "Vesk portal";
  p.background = 0xFFFFFF;
  int y = 4;
  RenderItem banner;
  banner.type = FILLED_RECT;
  banner.x = 0;
  banner.y = 0;
  banner.width = 236;
  banner.height = 22;
  banner.color = 0x1F4E8C;
  p.items.push_back(banner);
  p.items.push_back(text(4, y, 228, "Vesk portal", 0xFFFFFF, 0x2));
  y += 26;
  auto addLink = [&p, &y](const std::string& label, const std::string& url) {
    p.items.push_back(text(8, y, 224, label, 0x0000CC, 0x1));
    RenderItem link;
    link.type = LINK;
    link.text = url;
    link.refs.push_back(static_cast<int32_t>(p.items.size() - 1));
    p.structure.push_back(link);
    y += LINE_HEIGHT;
  };
  if (!sites.empty()) {
    p.items.push_back(text(4, y, 228, "Sites:", 0x000000));
    y += LINE_HEIGHT + 2;
    for (const auto& s : sites) addLink("http://" + s + "/", "http://" + s + "/");
    y += 6;
  }
  p.items.push_back(text(4, y, 228, "Pages on this service:", 0x000000));
  y += LINE_HEIGHT + 2;
  if (fixtures.empty()) {
    p.items.push_back(text(8, y, 224, "(no fixture pages)", 0x808080));
    y += LINE_HEIGHT;
  }
  for (const auto& f : fixtures) addLink(f, "http://" + host + "/" + f);
  p.height = y + 8;
  return p;
}

Page PortalPage::notice(const std::string& title, const std::string& message) {
  Page p;
  p.title = title;
  p.items.push_back(text(4, 4, 228, title, 0x000000, 0x2));
  p.items.push_back(text(4, 4 + LINE_HEIGHT + 4, 228, message, 0x000000));
  p.height = 60;
  return p;
}

}  // namespace vesk
