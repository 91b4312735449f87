#pragma once
// What the tests of the browser's drawn pieces share: a program directory with the real pictures and
// message texts, the icon strip as the browser keys it, the interface font, and shots of off-screen
// images compared with the golden pictures under tests/browser/golden/pictures/.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/platform/PngWriter.h"
#include "vwt/platform/Surface.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/ImagingImage.h"
#include "vwt/ui/MediaImage.h"
#include "vwt/ui/MediaManager.h"

namespace drawn {

const char* const GOLDEN_FOLDER = "tests/browser/golden/pictures/";
const int KEY_COLOUR = 0xFF00FF;
const int INTERFACE_FONT_SIZE = 12;

inline std::string sourceFile(const std::string& name) {
  std::ifstream in(std::string(VWT_SOURCE_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// res/icon.gif of the program directory keyed on magenta, as the browser loads it; the caller owns it.
// Needs an application initialised for imaging.
inline ImagingImage* loadIconStrip() {
  AutoPtr<MediaImage> media(MediaManager::getImage(u"resource:///icon.gif"_s));
  media->use();
  ImagingImage* strip = media->getImage();
  strip->setTransparentColor(KEY_COLOUR);
  return strip;
}

// Pixels as a PNG in the test's temporary folder, compared with the golden picture of that name.
inline ::testing::AssertionResult matches(const vwt::platform::PixelTarget& pixels, const std::string& name) {
  std::string shot = ::testing::TempDir() + "drawn-" + name;
  if (!vwt::platform::writePng(shot, pixels)) return ::testing::AssertionFailure() << "cannot write " << shot;
  return golden::matches(shot, name, GOLDEN_FOLDER);
}

// The program's files in a scratch directory; the icon strip and the font are made on first use.
class Scene {
 public:
  Scene() {
    program.write("system.ini", "font.face.default=IPAPGothic\n");
    program.write("res/message.txt", sourceFile("res/message.txt"));
    program.write("res/icon.gif", sourceFile("res/icon.gif"));
    app.initialize(Application::INIT_IMAGING);
  }

  // res/icon.gif keyed on magenta, as the browser loads it; owned by the scene.
  Image* iconStrip() {
    if (!icons) icons.reset(loadIconStrip());
    return icons.get();
  }

  vwt::Font* interfaceFont() {
    if (!font) font.reset(new vwt::Font(vwt::Font::FACE_VARIABLE_PITCH, INTERFACE_FONT_SIZE));
    return font.get();
  }

  // The image as a PNG in the test's temporary folder, compared with the golden picture of that name.
  static ::testing::AssertionResult matches(Image* image, const std::string& name) {
    return drawn::matches(image->getSurface()->target(), name);
  }

  ScratchProgram program;
  Application app;
  std::unique_ptr<ImagingImage> icons;
  std::unique_ptr<vwt::Font> font;
};

}  // namespace drawn
