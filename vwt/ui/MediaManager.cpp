#include "vwt/ui/MediaManager.h"

#include "vwt/io/BufferedInputStream.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/ui/MediaImage.h"

MediaImage* MediaManager::getImage(const char* data, int offset, int length) {
  return new MediaImage(data, offset, length, false);
}

MediaImage* MediaManager::getImage(InputStream* in) { return new MediaImage(in); }

MediaImage* MediaManager::getImage(const String& uri) {
  static const int PREFIX_LENGTH = 12;  // "resource:///"
  if (!uri.startsWith(u"resource:///")) throw Exception(Resource::getString(-1702));
  String path = (System::getProgramDirectory() + u"res/") + uri.substring(PREFIX_LENGTH);
  AutoPtr<InputStream> in(new BufferedInputStream(new FileInputStream(path)));
  return new MediaImage(in.get());
}
