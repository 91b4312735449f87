#pragma once

// The sizes the interaction pieces work with, taken from the canvas once per event: the page view,
// the zoomed page extent and the two fonts' line heights. A plain record.
struct ViewGeometry {
  int viewWidth = 0, viewHeight = 0;  // the page view (page buffer) in pixels
  int pageWidth = 0, pageHeight = 0;  // the zoomed page extent (in reflow mode: the layout's extent)
  int pageLineHeight = 0;             // page font line height
  int interfaceLineHeight = 0;        // interface font line height
};
