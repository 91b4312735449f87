#include <gtest/gtest.h>

#include <map>

#include "service/DataWriter.h"
#include "service/PageDump.h"
#include "service/PageWriter.h"
#include "service/html/HtmlEngine.h"
#include "service/html/PictureCodec.h"
#include "service/html/TextMetrics.h"

namespace vesktest {

using vesk::ClientMetrics;
using vesk::FetchedResource;
using vesk::Page;
using vesk::PictureCodec;
using vesk::RenderItem;

namespace {

// Resources from a map of addresses; counts what was asked for.
class MapLoader : public vesk::ResourceLoader {
 public:
  std::map<std::string, std::string> files;
  std::vector<std::string> asked;

  FetchedResource load(const std::string& url, size_t maxBytes) override {
    asked.push_back(url);
    FetchedResource r;
    r.url = url;
    auto it = files.find(url);
    if (it == files.end()) {
      r.status = 404;
      return r;
    }
    r.status = 200;
    r.body = it->second.substr(0, maxBytes);
    r.contentType = url.find(".png") != std::string::npos ? "image/png" : "text/html";
    return r;
  }
};

const std::string BASE = "http://site.test/dir/page.html";

ClientMetrics metrics(int width = 240) {
  ClientMetrics m;
  m.width = width;
  m.ascent = 11;
  m.descent = 3;
  m.lineHeight = 14;
  m.widthTable = std::string(vesk::TextMetrics::TABLE_LENGTH, 'M');  // 12 everywhere...
  for (int i = 0; i < 0x7F - 0x20; ++i) m.widthTable[i] = 'G';       // ...6 for ASCII
  return m;
}

Page layout(const std::string& html, MapLoader& loader, const ClientMetrics& m = metrics()) {
  return vesk::makeLiteHtmlEngine()->layout(html, BASE, m, loader);
}

Page layout(const std::string& html, const ClientMetrics& m = metrics()) {
  MapLoader loader;
  return layout(html, loader, m);
}

std::vector<const RenderItem*> ofType(const Page& p, int type, bool structure = false) {
  std::vector<const RenderItem*> out;
  for (const RenderItem& it : structure ? p.structure : p.items) {
    if (it.type == type) out.push_back(&it);
  }
  return out;
}

std::string png(int w, int h) {
  PictureCodec::Pixels px;
  px.width = w;
  px.height = h;
  px.rgba.resize(static_cast<size_t>(w) * h * 4);
  for (size_t i = 0; i < px.rgba.size(); ++i) px.rgba[i] = i % 4 == 3 ? 255 : static_cast<uint8_t>(i * 7);
  return PictureCodec::encodePng(px);
}

bool overlaps(const RenderItem& a, const RenderItem& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

}  // namespace

TEST(HtmlEngineTest, TextIsMeasuredWithTheClientsWidths) {
  Page p = layout("<body style='margin:0'><p style='margin:0'>abc de \xE6\xBC\xA2</p></body>");
  auto texts = ofType(p, vesk::TEXT);
  ASSERT_EQ(texts.size(), 1u) << vesk::PageDump::dump(p);
  EXPECT_EQ(texts[0]->text, "abc de \xE6\xBC\xA2");
  EXPECT_EQ(texts[0]->x, 0);
  EXPECT_EQ(texts[0]->y, 0);
  EXPECT_EQ(texts[0]->width, 7 * 6 + 12) << "ASCII 6 each, the ideograph its wide width 12";
  EXPECT_EQ(texts[0]->height, 14);
}

TEST(HtmlEngineTest, WordsAreMergedIntoOneRunPerLine) {
  std::string words;
  for (int i = 0; i < 60; ++i) words += "word" + std::to_string(i) + " ";
  Page p = layout("<p>" + words + "</p>");
  auto texts = ofType(p, vesk::TEXT);
  ASSERT_GT(texts.size(), 5u);
  std::string joined;
  for (size_t i = 0; i < texts.size(); ++i) {
    const RenderItem& t = *texts[i];
    EXPECT_LE(t.x + t.width, 240) << t.text;
    EXPECT_EQ(t.text.front() == ' ' || t.text.back() == ' ', false) << "runs are trimmed: " << t.text;
    if (i > 0) {
      EXPECT_GT(t.y, texts[i - 1]->y) << "one run per line";
      EXPECT_FALSE(overlaps(t, *texts[i - 1]));
    }
    joined += (i ? " " : "") + t.text;
  }
  EXPECT_EQ(joined + " ", words);
}

TEST(HtmlEngineTest, AChangeOfStyleStartsANewRun) {
  Page p = layout("<p>plain <b>bold</b> <u>under</u> <s>gone</s> <font color=red>red</font> end</p>");
  auto texts = ofType(p, vesk::TEXT);
  struct Want {
    const char* text;
    int32_t flags;
    int32_t color;
  } want[] = {{"plain", 0, 0}, {"bold", 2, 0},       {"under", 1, 0},
              {"gone", 4, 0},  {"red", 0, 0xFF0000}, {"end", 0, 0}};
  ASSERT_EQ(texts.size(), std::size(want)) << vesk::PageDump::dump(p);
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(texts[i]->text, want[i].text);
    EXPECT_EQ(texts[i]->flags, want[i].flags) << want[i].text;
    EXPECT_EQ(texts[i]->color, want[i].color) << want[i].text;
    if (i) EXPECT_FALSE(overlaps(*texts[i], *texts[i - 1]));
  }
}

TEST(HtmlEngineTest, LinksCoverTheItemsOfTheirText) {
  MapLoader loader;
  loader.files["http://site.test/dir/pic.png"] = png(20, 10);
  Page p = layout(
      "<p>Go <a href='../next.html?a=1'>to the next page of this small site now</a> or "
      "<a href='#here'><img src='pic.png'></a> <a href='javascript:void(0)'>no</a> <a name='here'>x</a> "
      "<a href='w.html' target='_blank'>apart</a> <a href='s.html' target='_self'>here</a></p>",
      loader);
  auto links = ofType(p, vesk::LINK, true);
  ASSERT_EQ(links.size(), 4u) << vesk::PageDump::dump(p);
  // Only the link meant for a window of its own asks for one.
  EXPECT_EQ(links[0]->flags, 0);
  EXPECT_EQ(links[2]->flags, 0x4);
  EXPECT_EQ(links[3]->flags, 0);
  EXPECT_EQ(links[0]->text, "http://site.test/next.html?a=1");
  ASSERT_GE(links[0]->refs.size(), 2u) << "the link runs over two lines";
  int left = 1 << 30, right = 0, top = 1 << 30, bottom = 0;
  for (int32_t r : links[0]->refs) {
    const RenderItem& t = p.items.at(r);
    EXPECT_EQ(t.type, vesk::TEXT);
    EXPECT_EQ(t.flags & 1, 1) << "links are underlined";
    EXPECT_EQ(t.color, 0x0000EE);
    left = std::min(left, t.x);
    right = std::max(right, t.x + t.width);
    top = std::min(top, t.y);
    bottom = std::max(bottom, t.y + t.height);
  }
  EXPECT_EQ(links[0]->x, left);
  EXPECT_EQ(links[0]->y, top);
  EXPECT_EQ(links[0]->width, right - left);
  EXPECT_EQ(links[0]->height, bottom - top);
  EXPECT_EQ(links[1]->text, BASE + "#here");
  ASSERT_EQ(links[1]->refs.size(), 1u);
  EXPECT_EQ(p.items.at(links[1]->refs[0]).type, vesk::IMAGE);
  for (const RenderItem& it : p.items) {
    if (it.type == vesk::TEXT && it.text == "or") EXPECT_EQ(it.flags, 0);
  }
}

TEST(HtmlEngineTest, AnchorsMarkIdsAndNames) {
  Page p = layout("<p>top</p><h2 id='one'>One</h2><p><a name='two'>Two</a></p>");
  auto anchors = ofType(p, vesk::ANCHOR);
  ASSERT_EQ(anchors.size(), 2u);
  EXPECT_EQ(anchors[0]->name, "one");
  EXPECT_EQ(anchors[1]->name, "two");
  EXPECT_GT(anchors[0]->y, 0);
  EXPECT_GT(anchors[1]->y, anchors[0]->y);
}

TEST(HtmlEngineTest, FormsListTheirControlsAfterThem) {
  Page p = layout(
      "<form action='go.cgi' method='POST' enctype='multipart/form-data'>"
      "<input type=hidden name=h value=1><input name=t value=abc size=10><input type=password name=p>"
      "<input type=checkbox name=c checked><input type=radio name=r value=x>"
      "<select name=s><option value=1>One<option selected>Two</select>"
      "<select name=l multiple size=3><option>A<option selected>B</select>"
      "<textarea name=ta rows=2 cols=10>Hi</textarea><input type=submit value=Send><input type=reset>"
      "<button name=b>Push</button><input type=file name=f></form><input name=outside>");
  struct Want {
    int type;
    const char* name;
  } want[] = {{vesk::HIDDEN_FIELD, "h"}, {vesk::TEXT_FIELD, "t"}, {vesk::PASSWORD_FIELD, "p"},
              {vesk::CHECKBOX, "c"},     {vesk::RADIO, "r"},      {vesk::SELECT, "s"},
              {vesk::LIST, "l"},         {vesk::TEXT_AREA, "ta"}, {vesk::BUTTON, ""},
              {vesk::BUTTON, ""},        {vesk::BUTTON, "b"},     {vesk::BUTTON, "f"}};
  const int32_t m = static_cast<int32_t>(p.items.size());
  auto forms = ofType(p, vesk::FORM, true);
  ASSERT_EQ(forms.size(), 1u) << vesk::PageDump::dump(p);
  EXPECT_EQ(forms[0]->text, "http://site.test/dir/go.cgi");
  EXPECT_EQ(forms[0]->formM, 0x6);
  ASSERT_EQ(forms[0]->refs.size(), std::size(want));
  int32_t formIndex = m + static_cast<int32_t>(forms[0] - &p.structure[0]);
  for (size_t i = 0; i < std::size(want); ++i) {
    int32_t c = forms[0]->refs[i];
    ASSERT_GE(c, m);
    ASSERT_LT(c, formIndex) << "controls come before their form";
    const RenderItem& control = p.structure[c - m];
    EXPECT_EQ(control.type, vesk::CONTROL);
    ASSERT_EQ(control.refs.size(), 2u);
    EXPECT_EQ(control.refs[1], formIndex);
    const RenderItem& item = p.items.at(control.refs[0]);
    EXPECT_EQ(item.type, want[i].type) << i;
    EXPECT_EQ(item.name, want[i].name) << i;
    if (item.type != vesk::HIDDEN_FIELD) {
      EXPECT_GT(item.width, 0);
      EXPECT_GT(item.height, 0);
      EXPECT_LE(item.x + item.width, 240);
    }
  }
  const RenderItem& select = p.items.at(p.structure[forms[0]->refs[5] - m].refs[0]);
  EXPECT_EQ(select.labels, (std::vector<std::string>{"One", "Two"}));
  EXPECT_EQ(select.values, (std::vector<std::string>{"1", "Two"}));
  EXPECT_EQ(select.value2, 1);
  const RenderItem& list = p.items.at(p.structure[forms[0]->refs[6] - m].refs[0]);
  EXPECT_EQ(list.flags & 0x8, 0x8);
  EXPECT_EQ(list.selected, (std::vector<bool>{false, true}));
  EXPECT_EQ(p.items.at(p.structure[forms[0]->refs[3] - m].refs[0]).flags, 0x4) << "checked";
  EXPECT_EQ(p.items.at(p.structure[forms[0]->refs[7] - m].refs[0]).text, "Hi");
  EXPECT_EQ(p.items.at(p.structure[forms[0]->refs[8] - m].refs[0]).flags, 0x80) << "submit";
  EXPECT_EQ(p.items.at(p.structure[forms[0]->refs[9] - m].refs[0]).flags, 0x100) << "reset";
  EXPECT_EQ(p.items.at(p.structure[forms[0]->refs[10] - m].refs[0]).text, "Push");
  EXPECT_EQ(p.items.at(p.structure[forms[0]->refs[11] - m].refs[0]).flags, 0x40) << "file";
  // The control outside any form has no form reference.
  const RenderItem& last = p.structure.back();
  EXPECT_EQ(last.type, vesk::CONTROL);
  ASSERT_EQ(last.refs.size(), 1u);
  EXPECT_EQ(p.items.at(last.refs[0]).name, "outside");
}

TEST(HtmlEngineTest, FramesAreLaidOutOneByOne) {
  MapLoader loader;
  loader.files["http://site.test/dir/a.html"] = "<p>first <a href='x.html'>frame</a></p>";
  loader.files["http://site.test/dir/b.html"] =
      "<p>second frame</p><iframe src='c.html' width=100 height=40></iframe>";
  loader.files["http://site.test/dir/c.html"] = "<p>inner</p><p>cut</p><p>off</p><p>below</p>";
  Page p = layout(
      "<title>Set</title><frameset rows='50%,50%'><frame src='a.html'><frame src=b.html></frameset>", loader);
  EXPECT_EQ(p.title, "Set");
  ASSERT_EQ(p.frames.size(), 3u) << vesk::PageDump::dump(p);
  EXPECT_EQ(p.frames[0].name, "http://site.test/dir/a.html");
  EXPECT_EQ(p.frames[1].name, "http://site.test/dir/b.html");
  EXPECT_EQ(p.frames[2].name, "http://site.test/dir/c.html");
  int32_t first = 0;
  std::vector<std::string> texts[3];
  for (size_t f = 0; f < 3; ++f) {
    ASSERT_GE(p.frames[f].value, first);
    for (int32_t i = first; i <= p.frames[f].value; ++i) {
      if (p.items[i].type == vesk::TEXT) texts[f].push_back(p.items[i].text);
    }
    first = p.frames[f].value + 1;
  }
  EXPECT_EQ(texts[0], (std::vector<std::string>{"first", "frame"}));
  EXPECT_EQ(texts[1], (std::vector<std::string>{"second frame"}));
  ASSERT_FALSE(texts[2].empty());
  EXPECT_EQ(texts[2][0], "inner");
  EXPECT_LT(texts[2].size(), 4u) << "an inline frame shows only what fits in it";
  auto links = ofType(p, vesk::LINK, true);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0]->text, "http://site.test/dir/x.html");
}

TEST(HtmlEngineTest, PicturesAreScaledToTheirBoxAndTheMemoryLimit) {
  MapLoader loader;
  loader.files["http://site.test/dir/big.png"] = png(400, 300);
  loader.files["http://site.test/dir/small.png"] = png(40, 30);
  ClientMetrics m = metrics();
  m.imageMemoryLimit = 60000;
  Page p =
      layout("<img src=big.png><img src=big.png width=100 height=75><img src=small.png><img src=missing.png>",
             loader, m);
  auto images = ofType(p, vesk::IMAGE);
  ASSERT_EQ(images.size(), 3u) << vesk::PageDump::dump(p);
  int64_t used = 0;
  for (const RenderItem* it : images) {
    ASSERT_GE(it->image, 0);
    ASSERT_LT(it->image, static_cast<int32_t>(p.images.size()));
    int w = 0, h = 0;
    ASSERT_TRUE(PictureCodec::probe(p.images[it->image].bytes, w, h));
    EXPECT_EQ(w, it->param1);
    EXPECT_EQ(h, it->param2);
    EXPECT_LE(w, it->width);
    EXPECT_LE(h, it->height);
  }
  for (const auto& image : p.images) {
    int w = 0, h = 0;
    ASSERT_TRUE(PictureCodec::probe(image.bytes, w, h));
    used += static_cast<int64_t>(w) * h * 3;
  }
  EXPECT_LE(used, m.imageMemoryLimit);
  EXPECT_LE(images[0]->width, 240) << "a picture wider than the page is laid out at most at the page width";
  EXPECT_EQ(images[1]->width, 100);
  EXPECT_EQ(ofType(p, vesk::PLACEHOLDER).size(), 0u) << "a missing picture without a size takes no room";
}

TEST(HtmlEngineTest, BackgroundPicturesAndEmbeddedFiles) {
  MapLoader loader;
  loader.files["http://site.test/dir/tile.png"] = png(8, 6);
  loader.files["http://site.test/movies/intro.swf"] = "FWS-movie-bytes";
  Page p = layout(
      "<div style='background:#FFEEDD url(tile.png) repeat-x;height:40px'>band</div>"
      "<object data='../movies/intro.swf' type='application/x-shockwave-flash' width=100 height=50></object>"
      "<embed src='missing.swf'>",
      loader);
  auto boxes = ofType(p, vesk::BOX);
  ASSERT_EQ(boxes.size(), 1u) << vesk::PageDump::dump(p);
  EXPECT_EQ(boxes[0]->color2, 0xFFEEDD);
  EXPECT_EQ(boxes[0]->flags, 0x10 | (1 << 12)) << "a picture repeated across";
  ASSERT_GE(boxes[0]->image, 0);
  EXPECT_EQ(boxes[0]->param1, 8) << "from the left edge to the picture's width";
  EXPECT_EQ(boxes[0]->param2, 6);
  auto objects = ofType(p, vesk::OBJECT);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0]->name, "intro.swf");
  EXPECT_EQ(objects[0]->width, 100);
  EXPECT_EQ(objects[0]->height, 50);
  ASSERT_EQ(p.files.size(), 1u) << "a file that cannot be fetched is not sent";
  EXPECT_EQ(p.files[0].name, "intro.swf");
  EXPECT_EQ(p.files[0].data, "FWS-movie-bytes");
}

TEST(HtmlEngineTest, BadInputGivesAPageAndTheEngineGoesOn) {
  MapLoader loader;
  std::string huge = png(8, 8);
  // The header claims 100000 x 100000 pixels: it must never be allocated.
  huge[16] = 0, huge[17] = 1, huge[18] = static_cast<char>(0x86), huge[19] = static_cast<char>(0xA0);
  huge[20] = 0, huge[21] = 1, huge[22] = static_cast<char>(0x86), huge[23] = static_cast<char>(0xA0);
  loader.files["http://site.test/dir/huge.png"] = huge;
  loader.files["http://site.test/dir/junk.png"] = "\x89PNG\r\n\x1a\nnot really";
  std::string deep, wide(2 * 1024 * 1024, 'x');
  for (int i = 0; i < 100000; ++i) deep += "<div><span>";
  std::string many;
  for (int i = 0; i < 30000; ++i) many += "<b>w</b> ";
  std::vector<std::string> inputs = {
      "",
      "<",
      "<html><body><p>unclosed <b><i>nesting</p></b> <table><td>cell</table>",
      deep + "deep",
      "<p class='" + wide + "'>huge attribute</p>",
      "<a href='" + wide + "'>long address</a><form action='" + wide + "'><input name=q value='" + wide +
          "'></form>",
      "<textarea>" + wide + "</textarea><title>" + wide + "</title>",
      "<p>" + wide + "</p>",
      "<table><tr><td colspan=100000 rowspan=100000>span</td></tr></table>",
      "<img src=huge.png><img src=junk.png width=999999999 height=999999999><img width=-5 height=abc>",
      "<select>" + std::string(5000, 'x') + "<option>" + many + "</select>",
      many,
      "<frameset><frame src=self.html><frame src=''></frameset>",
      "<iframe src=page.html></iframe><object data=missing.swf></object>",
      std::string("\0\xFF\xFE<p>\x80\x81</p>", 10),
      "<style>@import url(missing.css); p { width: 99999999px; font-size: 999999px }</style><p>big</p>",
  };
  for (const std::string& html : inputs) {
    Page p = layout(html, loader);
    EXPECT_LE(p.items.size(), 20000u);
    EXPECT_GT(p.height, 0);
    EXPECT_EQ(p.width, 240);
    for (const auto& image : p.images) EXPECT_LE(image.bytes.size(), 4u * 1024 * 1024);
    vesk::DataWriter out;
    EXPECT_NO_THROW(vesk::PageWriter::write(out, p, 1, BASE)) << "every text fits its 16-bit count";
  }
  Page after = layout("<p>still fine</p>", loader);
  auto texts = ofType(after, vesk::TEXT);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->text, "still fine");
}

}  // namespace vesktest
