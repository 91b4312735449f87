#pragma once

#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"

class InputStream;
class MediaImage;
class Window;

// The handset's picture store: pictures saved to and chosen from files through the file dialogs.
class ImageStore : public Object {
 public:
  explicit ImageStore(const String& path) : path_(path) {}

  // Asks for a file name in a save dialog (its filter by the picture's type) and writes the
  // picture's bytes there. The chosen name, with the type's extension added when it lacks it, is
  // returned; empty, with nothing written, when the dialog is cancelled (or the user would not
  // replace the file the added extension names).
  static String addEntry(const Window* owner, const MediaImage* image);
  // Asks for a picture file in an open dialog (filter -2704): a new ImageStore for it, owned by
  // the caller, or null when cancelled.
  static ImageStore* selectEntry(const Window* owner);

  // A buffered stream on the file, owned by the caller; -2705 when there is no file name.
  InputStream* getInputStream() const;
  const String& getPath() const { return path_; }

  // The save dialog's filter message id for a picture: GIF -2700, JPEG -2701, PNG -2702, else -2703.
  static int getFilterMessageId(const MediaImage* image);
  // The name with the picture type's extension appended unless it ends with it (in any case).
  static String withExtension(const String& name, const MediaImage* image);
  // Writes the picture's bytes, copied or borrowed, to the file through a buffered stream.
  static void writeEntry(const String& path, const MediaImage* image);

 private:
  String path_;
};
