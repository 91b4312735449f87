#pragma once

class RenderItem;

// Where the pointer lies on a link's image-map picture, in the picture's own pixels: the point the
// service is sent when the link is followed and the one the status line shows.
class ImageMapPoint {
 public:
  static constexpr int IMAGE_MAP = 0x10;  // item flag of a picture that is an image map

  // False when the pointer is on none of the link's map pictures. The pointer is in zoomed page pixels,
  // or in layout pixels in reflow, where a picture is shown as its scaled derived copies.
  static bool find(const RenderItem* link, int pointerX, int pointerY, int zoom, bool reflow, int* x, int* y);
};
