// Every widget of the toolkit in one frame: scroll bars both ways, static image windows (copied,
// scaled and shaped by a region), a text box, the Flash placeholder and a status bar whose taps reach
// the frame. Run it with a desktop (SDL) or headless with a script:
//   VWT_DISPLAY=headless VWT_INPUT_SCRIPT=demo.txt build/bin/widget_gallery
// Keys: 1-4 message boxes, 5 taps the movie, 6 and 7 the file dialogs, 8 the input-method box; the
// arrows move the scroll bars' knobs; the left soft key opens a menu, the right one quits.

#include <random>
#include <string>

#include "vwt/io/DataOutputStream.h"
#include "vwt/io/File.h"
#include "vwt/io/FileOutputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/String.h"
#include "vwt/lang/System.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Dialog.h"
#include "vwt/ui/FileChooser.h"
#include "vwt/ui/Flash.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/MenuItem.h"
#include "vwt/ui/PopupMenu.h"
#include "vwt/ui/Region.h"
#include "vwt/ui/ScrollBar.h"
#include "vwt/ui/StaticImageWindow.h"
#include "vwt/ui/StatusBar.h"
#include "vwt/ui/TextBox.h"

namespace {

const int BACKGROUND = 0xF2F2F2;
const int INK = 0x202020;
const int CAPTION = 0x505A64;
const int TITLE_BAND = 0x2E4A62;
const int TRACK = 0xFFFFFF, TRACK_FRAME = 0x8C96A0, KNOB = 0x4A7BA6;

// The menu's commands.
enum Command { SCROLL_TOP = 100, SCROLL_END, TAP_MOVIE, LOOP_MOVIE, PRINT, QUIT };

// The picture the image windows show: a small landscape, 32 x 32.
Image* makeLandscape() {
  Image* image = Image::createImage(32, 32, 0x87CEEB);
  Graphics* g = image->getGraphics();
  for (int y = 0; y < 20; ++y) {  // sky, lighter towards the horizon
    g->setColor(Graphics::getColorOfRGB(90 + y * 4, 150 + y * 4, 230) & 0xFFFFFF);
    g->fillRect(0, y, 32, 1);
  }
  g->setColor(0xFFD23C);  // sun
  g->fillArc(20, 3, 9, 9, 0, 360);
  g->setColor(0x3C8C3C);  // hills
  g->fillArc(-8, 14, 30, 20, 0, 360);
  g->fillArc(12, 17, 30, 20, 0, 360);
  g->setColor(0x2E6B2E);
  g->fillRect(0, 26, 32, 6);
  g->setColor(0x7A4A22);  // a tree
  g->fillRect(8, 18, 2, 8);
  g->setColor(0x1F5A1F);
  g->fillArc(5, 12, 8, 8, 0, 360);
  return image;
}

// A disc of diameter size made of one rectangle per row.
Region* disc(int size) {
  Region* shape = Region::createRectRgn(0, 0, 0, 0);
  int r2 = size * size / 4;
  for (int y = 0; y < size; ++y) {
    int dy = 2 * y + 1 - size;  // twice the distance of the row's middle from the centre
    int half = 0;
    while ((2 * half + 2) * (2 * half + 2) + dy * dy <= 4 * r2) ++half;
    AutoPtr<Region> row(Region::createRectRgn(size / 2 - half - 1, y, size / 2 + half + 1, y + 1));
    shape->combineRgn(row.get(), Region::RGN_OR);
  }
  return shape;
}

// Files of the gallery's own beside the program: the movie with its parameter file (a count, then
// key and value texts) and a few files for the file dialogs. Each is written under a name of this
// run's own and then renamed, so that a gallery running at the same time never reads half a file.
String writeSampleFiles() {
  String folder = System::getProgramDirectory() + u"gallery"_s;
  File(folder + u"/photos/"_s).mkdirs();  // the parents of the last separator
  std::random_device random;
  String scratch = folder + u"/."_s + String(static_cast<int>(random() & 0x7FFFFFFF));
  auto place = [&](const char16_t* name, void (*fill)(DataOutputStream & out)) {
    {
      DataOutputStream out(new FileOutputStream(scratch));
      fill(out);
    }
    File(scratch).renameTo(File(folder + u"/"_s + String(name, false)));
  };
  place(u"intro.swf.param", [](DataOutputStream& out) {
    out.writeInt(3);
    out.writeUTF(u"BGCOLOR"_s);
    out.writeUTF(u"#1E3A5F"_s);
    out.writeUTF(u"LOOP"_s);
    out.writeUTF(u"true"_s);
    out.writeUTF(u"QUALITY"_s);
    out.writeUTF(u"high"_s);
  });
  // The stand-in never reads the movie itself.
  place(u"intro.swf", [](DataOutputStream&) {});
  place(u"notes.txt", [](DataOutputStream& out) { out.write("Widget gallery notes\n", 0, 21); });
  place(u"shopping list.txt", [](DataOutputStream& out) { out.write("milk, bread\n", 0, 12); });
  return folder;
}

class GalleryFrame;

// The strip at the bottom: says what was tapped last.
class GalleryStatus : public StatusBar {
 public:
  GalleryStatus(Frame* parent, vwt::Font* font)
      : StatusBar(parent, 18, u"WidgetGalleryStatus"_s), font_(font) {}
  void setMessage(const String& message) {
    message_ = message;
    repaint();
  }
  void onPaint(Graphics* g) override {
    g->setColor(0x33414E);
    g->fillRect(0, 0, getWidth(), getHeight());
    g->setColor(0x56687A);
    g->fillRect(0, 0, getWidth(), 1);
    g->setFont(font_);
    g->setColor(0xFFFFFF);
    g->drawString(message_, 6, 13);
    g->setFont(nullptr);
  }

 private:
  vwt::Font* font_;  // the frame's
  String message_ = u"Keys 1-8 open dialogs; tap me"_s;
};

class GalleryFrame : public Frame {
 public:
  explicit GalleryFrame(Application* app)
      : Frame(app, u"Widget gallery"_s),
        small_(vwt::Font::getFont(vwt::Font::FACE_VARIABLE_PITCH, 12)),
        title_(vwt::Font::getFont(vwt::Font::FACE_VARIABLE_PITCH, 16)) {}

  ~GalleryFrame() override {
    // The widgets go before the frame's window, the picture after the windows that show it.
    flash_.reset();
    textBox_.reset();
    for (auto& w : images_) w.reset();
    for (auto& b : bars_) b.reset();
    status_.reset();
  }

  // After the frame's window exists.
  void build() {
    picture_.reset(makeLandscape());
    // Scroll bars: three knob places, a view that holds everything, and two horizontal ones.
    struct Bar {
      int x, y, length;
      ScrollBar::DIRECTION direction;
      int total, visible, position;
    } bars[] = {{10, 40, 86, ScrollBar::VERTICAL, 100, 25, 0},
                {24, 40, 86, ScrollBar::VERTICAL, 100, 25, 40},
                {38, 40, 86, ScrollBar::VERTICAL, 100, 25, 75},
                {52, 40, 86, ScrollBar::VERTICAL, 50, 50, 0},
                {70, 104, 160, ScrollBar::HORIZONTAL, 300, 100, 60},
                {70, 118, 160, ScrollBar::HORIZONTAL, 1000, 40, 960}};
    int i = 0;
    for (const Bar& b : bars) {
      bars_[i].reset(new ScrollBar(this, b.x, b.y, 9, b.length, b.direction));
      bars_[i]->setColor(TRACK, TRACK_FRAME, KNOB);
      bars_[i]->setBarLength(b.total, b.visible);
      bars_[i]->setButtonPosition(b.position);
      bars_[i]->repaint();
      ++i;
    }
    // The picture as it is, twice its size, and in a disc.
    images_[0].reset(
        new StaticImageWindow(u"WidgetGalleryImage"_s, this, picture_.get(), 74, 56, 32, 32, 0, 0, 32, 32));
    images_[1].reset(
        new StaticImageWindow(u"WidgetGalleryImage"_s, this, picture_.get(), 116, 40, 48, 48, 0, 0, 32, 32));
    images_[2].reset(
        new StaticImageWindow(u"WidgetGalleryImage"_s, this, picture_.get(), 176, 40, 48, 48, 0, 0, 32, 32));
    AutoPtr<Region> shape(disc(48));
    images_[2]->setWindowRgn(shape.get());

    try {
      folder_ = writeSampleFiles();
      flash_.reset(new Flash(this, folder_ + u"/intro.swf"_s, 10, 164, 220, 56));
    } catch (const Exception& e) {
      caption_ = e.getMessage();
    }
    // A text box takes the focus and the soft keys when it is made; the frame keeps them here, and
    // a tap gives the box the focus.
    textBox_.reset(new TextBox(this, 10, 226, 220, 20, u"A text box: tap it to type"_s, 0, 1));
    requestFocus();
    setSoftLabel(SOFT_KEY_LEFT, u"Menu"_s);
    setSoftLabel(SOFT_KEY_RIGHT, u"Quit"_s);
    status_.reset(new GalleryStatus(this, small_.get()));
  }

  void onPaint(Graphics* g) override {
    int w = getWidth();
    g->setColor(BACKGROUND);
    g->fillRect(0, 0, w, getHeight());
    g->setColor(TITLE_BAND);
    g->fillRect(0, 0, w, 24);
    g->setFont(title_.get());
    g->setColor(0xFFFFFF);
    g->drawString(u"Widget gallery"_s, 8, 18);
    g->setFont(small_.get());
    g->setColor(CAPTION);
    g->drawString(u"scroll bars"_s, 8, 140);
    g->drawString(u"1:1"_s, 80, 100);
    g->drawString(u"scaled"_s, 124, 100);
    g->drawString(u"shaped"_s, 182, 100);
    g->drawString(u"Flash movie (placeholder)"_s, 10, 158);
    if (caption_.length()) {
      g->setColor(0xB00020);
      g->drawString(caption_, 10, 236);
    }
    g->setColor(INK);
    g->setFont(nullptr);
  }

  void onKeyPressed(int key) override {
    switch (key) {
      case KEY_UP:
      case KEY_DOWN:
        for (int i = 0; i < 3; ++i) {
          bars_[i]->setButtonPosition(bars_[i]->getPosition() + (key == KEY_DOWN ? 10 : -10));
          bars_[i]->repaint();
        }
        return;
      case KEY_LEFT:
      case KEY_RIGHT:
        for (int i = 4; i < 6; ++i) {
          bars_[i]->setButtonPosition(bars_[i]->getPosition() + (key == KEY_RIGHT ? 40 : -40));
          bars_[i]->repaint();
        }
        return;
      case 5:
        if (flash_.get()) {
          flash_->click(flash_->getWidth() / 2, flash_->getHeight() / 2);
          status_->setMessage(u"Movie tapped: "_s + String(flash_->getProperties().singleClicks) +
                              u" single, "_s + String(flash_->getProperties().doubleClicks) + u" double"_s);
        }
        return;
      case 1:
      case 2:
      case 3:
      case 4:
        showMessage(key);
        return;
      case 8:
        // The input-method box over the whole frame: Done and Cancel tell processIMEEvent.
        imeOn(u"Typed in the input box"_s, TextBox::STYLE_SELECT_ALL, 1);
        return;
      case 6:
      case 7:
        chooseFile(key == 7);
        return;
      case KEY_SOFT1:
        showMenu();
        return;
      case KEY_SOFT2:
        Application::getCurrentApp()->terminate();
        return;
      default:
        return;
    }
  }

  // The chosen item comes back here after the menu has closed.
  bool onCommand(int id) override {
    switch (id) {
      case SCROLL_TOP:
      case SCROLL_END:
        for (auto& bar : bars_) {
          bar->setButtonPosition(id == SCROLL_TOP ? 0 : bar->getTotal());
          bar->repaint();
        }
        status_->setMessage(id == SCROLL_TOP ? u"Scrolled to the top"_s : u"Scrolled to the end"_s);
        return true;
      case TAP_MOVIE:
        onKeyPressed(5);
        return true;
      case LOOP_MOVIE:
        if (flash_.get()) {
          flash_->setParameter(u"LOOP"_s, flash_->getProperties().loop ? u"false"_s : u"true"_s);
          status_->setMessage(flash_->getProperties().loop ? u"The movie loops"_s
                                                           : u"The movie plays once"_s);
        }
        return true;
      case QUIT:
        Application::getCurrentApp()->terminate();
        return true;
      default:
        return Frame::onCommand(id);
    }
  }

  // One message box of each kind; the answer goes to the status bar.
  void showMessage(int key) {
    struct Kind {
      Dialog::DialogType type;
      const char16_t* caption;
      const char16_t* text;
    } kinds[] = {
        {Dialog::TYPE_INFORMATION, u"Information", u"The gallery shows every widget of the toolkit."},
        {Dialog::TYPE_WARNING, u"Warning", u"The movie is a placeholder:\nno Flash player here."},
        {Dialog::TYPE_ERROR, u"Error", u"Nothing went wrong. This is how an error looks."},
        {Dialog::TYPE_YES_NO_CANCEL, u"Question", u"Scroll the bars back to the top?"},
    };
    const Kind& k = kinds[key - 1];
    int answer = Dialog(this, k.type, String(k.caption, false), String(k.text, false)).show();
    const char16_t* names[] = {u"OK", u"Yes", u"No", u"Cancel"};
    status_->setMessage(u"Answer: "_s + String(names[answer >= 0 && answer <= 3 ? answer : 3], false));
    if (k.type == Dialog::TYPE_YES_NO_CANCEL && answer == Dialog::RESULT_YES) onCommand(SCROLL_TOP);
  }

  // The sample files are there to choose from.
  void chooseFile(bool save) {
    FileChooser chooser;
    chooser.setInitialDirectory(folder_);
    chooser.setFileNameFilter(u"Texts (*.txt)|*.txt|Movies (*.swf)|*.swf|All files (*.*)|*.*"_s);
    if (save) chooser.setSelectedFileName(u"gallery notes.txt"_s);
    int state = save ? chooser.showSaveDialog(this) : chooser.showOpenDialog(this);
    String name = chooser.getSelectedFileName();
    int slash = name.lastIndexOf(u'/');
    status_->setMessage(state == FileChooser::APPROVED
                            ? (save ? u"Save as "_s : u"Open "_s) + name.substring(slash + 1)
                            : u"No file chosen"_s);
  }

  // At the left soft key: the lower left corner of the frame.
  void showMenu() {
    PopupMenu menu;
    menu.add(new MenuItem(SCROLL_TOP, u"Scroll to the top"_s));
    menu.add(new MenuItem(SCROLL_END, u"Scroll to the end"_s));
    menu.addSeparator();
    menu.add(new MenuItem(TAP_MOVIE, u"Tap the movie"_s, flash_.get() != nullptr));
    menu.add(new MenuItem(LOOP_MOVIE, u"Loop the movie"_s, flash_.get() != nullptr,
                          flash_.get() && flash_->getProperties().loop));
    menu.add(new MenuItem(PRINT, u"Print (not here)"_s, false));
    menu.addSeparator();
    menu.add(new MenuItem(QUIT, u"Quit"_s));
    menu.show(this, 0, getHeight(), PopupMenu::ALIGN_LEFT | PopupMenu::ALIGN_BOTTOM);
  }

  void processIMEEvent(int type, const String& text) override {
    status_->setMessage(type == 0 ? u"Done: "_s + text : u"Cancelled"_s);
    setSoftLabel(SOFT_KEY_LEFT, u"Menu"_s);
    setSoftLabel(SOFT_KEY_RIGHT, u"Quit"_s);
  }

  void processTapStatusbar(int x, int y) override {
    status_->setMessage(u"Status bar tapped at "_s + String(x) + u", "_s + String(y));
  }

 private:
  AutoPtr<vwt::Font> small_, title_;
  AutoPtr<Image> picture_;
  AutoPtr<ScrollBar> bars_[6];
  AutoPtr<StaticImageWindow> images_[3];
  AutoPtr<Flash> flash_;
  AutoPtr<TextBox> textBox_;
  AutoPtr<GalleryStatus> status_;
  String folder_;  // the sample files
  String caption_;
};

}  // namespace

int main() {
  Application app;
  app.setArgument(nullptr, nullptr, String(), 1, true);
  GalleryFrame* frame = new GalleryFrame(&app);  // the application deletes it
  if (!frame->initializeWindow(u"WidgetGallery"_s, 0, 0, 0, 0)) return 1;
  frame->build();
  return app.run();
}
