#include "vwt/ui/Camera.h"

Camera* Camera::getCamera(int) { return new Camera(); }

InputStream* Camera::getInputStream(int) const { return nullptr; }
