#pragma once

#include <litehtml.h>

#include <memory>
#include <string>
#include <vector>

#include "service/PageModel.h"
#include "service/html/HtmlEngine.h"
#include "service/html/PictureStore.h"
#include "service/html/TextMetrics.h"

namespace vesk {

// One thing litehtml drew, already as a page item, with the elements it belongs to.
struct DrawnItem {
  enum Kind { PLAIN, PICTURE, FRAME, OBJECT };
  Kind kind = PLAIN;
  RenderItem item;
  std::string url;                            // the picture, frame document or object file it shows
  const litehtml::element* link = nullptr;    // the <a> it lies in
  const litehtml::element* source = nullptr;  // the control, picture, frame or object that drew it
  // Text: the words of one line drawn one after the other in one style make one run; the widths of
  // the spaces at its ends, which the handset does not need.
  int leading = 0, trailing = 0;
  bool inked = false;
};

// litehtml's callbacks for one document: text is measured with the client's width table and metrics,
// and what litehtml draws is recorded as page items instead of pixels.
class PageContainer : public litehtml::document_container {
 public:
  PageContainer(const ClientMetrics& metrics, const std::string& url, PictureStore& pictures,
                ResourceLoader& loader);
  virtual ~PageContainer() = default;

  const TextMetrics& text() const { return text_; }
  PictureStore& pictures() { return pictures_; }
  int width() const { return width_; }
  std::string resolve(const std::string& ref) const;
  const std::string& baseUrl() const { return base_; }
  const std::string& title() const { return title_; }
  int32_t background() const { return background_; }
  std::vector<DrawnItem>& drawn() { return drawn_; }

  // Set while an element draws, so that what it draws knows its link; and for the body, whose
  // background becomes the page's.
  void pushLink(const litehtml::element* link) { links_.push_back(link); }
  void popLink() { links_.pop_back(); }
  void setDrawingBody(bool on) { drawingBody_ = on; }
  void add(RenderItem item, const litehtml::element* source, DrawnItem::Kind kind = DrawnItem::PLAIN,
           const std::string& url = std::string());

  litehtml::uint_ptr create_font(const litehtml::tchar_t* faceName, int size, int weight,
                                 litehtml::font_style italic, unsigned int decoration,
                                 litehtml::font_metrics* fm) override;
  void delete_font(litehtml::uint_ptr font) override;
  int text_width(const litehtml::tchar_t* text, litehtml::uint_ptr font) override;
  void draw_text(litehtml::uint_ptr hdc, const litehtml::tchar_t* text, litehtml::uint_ptr font,
                 litehtml::web_color color, const litehtml::position& pos) override;
  int pt_to_px(int pt) const override;
  int get_default_font_size() const override;
  const litehtml::tchar_t* get_default_font_name() const override;
  void draw_list_marker(litehtml::uint_ptr hdc, const litehtml::list_marker& marker) override;
  void load_image(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl,
                  bool redraw_on_ready) override;
  void get_image_size(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl,
                      litehtml::size& sz) override;
  void draw_background(litehtml::uint_ptr hdc, const litehtml::background_paint& bg) override;
  void draw_borders(litehtml::uint_ptr hdc, const litehtml::borders& borders,
                    const litehtml::position& draw_pos, bool root) override;
  void set_caption(const litehtml::tchar_t* caption) override;
  void set_base_url(const litehtml::tchar_t* base_url) override;
  void link(const std::shared_ptr<litehtml::document>& doc, const litehtml::element::ptr& el) override;
  void on_anchor_click(const litehtml::tchar_t* url, const litehtml::element::ptr& el) override;
  void set_cursor(const litehtml::tchar_t* cursor) override;
  void transform_text(litehtml::tstring& text, litehtml::text_transform tt) override;
  void import_css(litehtml::tstring& text, const litehtml::tstring& url, litehtml::tstring& baseurl) override;
  void set_clip(const litehtml::position& pos, const litehtml::border_radiuses& radius, bool valid_x,
                bool valid_y) override;
  void del_clip() override;
  void get_client_rect(litehtml::position& client) const override;
  std::shared_ptr<litehtml::element> create_element(const litehtml::tchar_t* tag_name,
                                                    const litehtml::string_map& attributes,
                                                    const std::shared_ptr<litehtml::document>& doc) override;
  void get_media_features(litehtml::media_features& media) const override;
  void get_language(litehtml::tstring& language, litehtml::tstring& culture) const override;
  void split_text(const char* text, const std::function<void(const litehtml::tchar_t*)>& on_word,
                  const std::function<void(const litehtml::tchar_t*)>& on_space) override;

 private:
  struct Font {
    int size = 14;
    bool bold = false, underline = false, strike = false;
  };
  const Font& font(litehtml::uint_ptr handle) const;
  std::string fetchStyleSheet(const std::string& url);

  TextMetrics text_;
  int width_;
  std::string url_, base_;
  PictureStore& pictures_;
  ResourceLoader& loader_;
  std::vector<Font> fonts_;
  std::vector<DrawnItem> drawn_;
  std::vector<const litehtml::element*> links_;
  bool drawingBody_ = false;
  std::string title_;
  int32_t background_ = 0xFFFFFF;
  size_t styleBytes_ = 0;
  int styleSheets_ = 0;
};

}  // namespace vesk
