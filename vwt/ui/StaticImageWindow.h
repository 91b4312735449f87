#pragma once

#include <cstdint>

#include "vwt/lang/String.h"
#include "vwt/ui/Window.h"

class Image;

// A window showing a rectangle of an image: copied as it is when the window has the rectangle's
// size, scaled to the window otherwise. setWindowRgn shapes it.
class StaticImageWindow : public Window {
 public:
  // image is not owned and must outlive the window. className is registered for it once.
  StaticImageWindow(const String& className, Window* parent, Image* image, int x, int y, int width,
                    int height, int clipX, int clipY, int clipWidth, int clipHeight);
  ~StaticImageWindow() override;

  using Window::setPosition;
  // Moves and sizes the window and draws the image at once.
  void setPosition(int x, int y, int width, int height);
  // The source rectangle for the next drawing; nothing is drawn now.
  void setImageClip(int x, int y, int width, int height);
  // Through the window's own context, straight onto the screen (or into the paint under way).
  void drawImage();

  Image* getImage() const { return image_; }
  const String& getClassName() const { return className_; }

  static intptr_t staticImageProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam);

 private:
  Image* image_;  // not owned
  int clipX_, clipY_, clipWidth_, clipHeight_;
  int windowWidth_ = 0;
  int windowHeight_ = 0;
  String className_;
};
