#include "vwt/ui/ImageStore.h"

#include <string>

#include "vwt/io/BufferedInputStream.h"
#include "vwt/io/BufferedOutputStream.h"
#include "vwt/io/File.h"
#include "vwt/io/FileInputStream.h"
#include "vwt/io/FileOutputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/platform/DrawnMessageBox.h"
#include "vwt/ui/FileChooser.h"
#include "vwt/ui/MediaImage.h"
#include "vwt/ui/Window.h"

namespace {
std::u16string units(const String& s) { return std::u16string(s.getCString(), s.length()); }

bool replaceAllowed(const Window* owner, const String& path) {
  using vwt::platform::DrawnMessageBox;
  return DrawnMessageBox::show(owner ? owner->getHandle() : 0, units(Resource::getString(-3101)),
                               units(Resource::getString(-3110, path)), DrawnMessageBox::BUTTONS_YES_NO,
                               DrawnMessageBox::ICON_QUESTION) == DrawnMessageBox::RESULT_YES;
}
}  // namespace

String ImageStore::addEntry(const Window* owner, const MediaImage* image) {
  FileChooser chooser;
  chooser.setInitialDirectory(u"\\"_s);
  chooser.setFileNameFilter(Resource::getString(getFilterMessageId(image)));
  // A cancelled dialog names no file: not even the extension is returned.
  if (chooser.showSaveDialog(owner) != FileChooser::APPROVED) return String::null;
  const String& chosen = chooser.getSelectedFileName();
  String path = withExtension(chosen, image);
  // The dialog asked about the name as typed; with the extension it may name a file that exists.
  if (path.length() != chosen.length() && File::exists(path) && !replaceAllowed(owner, path))
    return String::null;
  writeEntry(path, image);
  return path;
}

ImageStore* ImageStore::selectEntry(const Window* owner) {
  FileChooser chooser;
  chooser.setInitialDirectory(u"\\"_s);
  chooser.setFileNameFilter(Resource::getString(-2704));
  if (chooser.showOpenDialog(owner) != FileChooser::APPROVED) return nullptr;
  return new ImageStore(chooser.getSelectedFileName());
}

InputStream* ImageStore::getInputStream() const {
  if (path_.isNull()) throw Exception(Resource::getString(-2705));
  return new BufferedInputStream(new FileInputStream(path_));
}

int ImageStore::getFilterMessageId(const MediaImage* image) {
  switch (image ? image->getType() : MediaImage::UNKNOWN) {
    case MediaImage::GIF:
      return -2700;
    case MediaImage::JPEG:
      return -2701;
    case MediaImage::PNG:
      return -2702;
    default:
      return -2703;
  }
}

String ImageStore::withExtension(const String& name, const MediaImage* image) {
  String extension = image ? image->getImageTypeAsString() : String::null;
  if (extension.isNull() || name.endsWithIgnoreCase(extension)) return name;
  return name + extension;
}

void ImageStore::writeEntry(const String& path, const MediaImage* image) {
  AutoPtr<BufferedOutputStream> out(new BufferedOutputStream(new FileOutputStream(path)));
  if (image && image->getLength() > 0) out->write(image->getBytes(), 0, image->getLength());
  out->close();
}
