#pragma once

#include "vwt/lang/Object.h"

class InputStream;

// The handset camera as the toolkit offers it: there is none here, so it never has pictures.
class Camera : public Object {
 public:
  // A new camera, owned by the caller.
  static Camera* getCamera(int id);

  void takePicture() {}
  int getNumberOfImages() const { return 0; }
  // Always null: no picture is ever taken.
  InputStream* getInputStream(int index) const;
};
