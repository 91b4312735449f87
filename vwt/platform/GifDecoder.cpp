// GIF through giflib: the first frame on the logical screen, with its transparent colour.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "vwt/platform/PictureCodecs.h"

namespace vwt {
namespace platform {
namespace codecs {
namespace {

struct MemoryReader {
  const unsigned char* data;
  size_t length;
  size_t pos;
};

int readBytes(GifFileType* gif, GifByteType* dest, int count) {
  MemoryReader* in = static_cast<MemoryReader*>(gif->UserData);
  if (count <= 0) return 0;
  size_t n = std::min(static_cast<size_t>(count), in->length - in->pos);
  std::memcpy(dest, in->data + in->pos, n);
  in->pos += n;
  return static_cast<int>(n);
}

class GifFile {
 public:
  explicit GifFile(GifFileType* gif) : gif_(gif) {}
  ~GifFile() {
    if (gif_) DGifCloseFile(gif_, nullptr);
  }
  GifFile(const GifFile&) = delete;
  GifFile& operator=(const GifFile&) = delete;
  GifFileType* operator->() const { return gif_; }
  GifFileType* get() const { return gif_; }

 private:
  GifFileType* gif_;
};

// Skips an extension, remembering the transparent index of a graphic control block.
bool readExtension(GifFileType* gif, int* transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] == 4) {
    GraphicsControlBlock gcb;
    if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) *transparent = gcb.TransparentColor;
  }
  while (block) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
  return true;
}

PictureDecoder::Result readFrame(GifFileType* gif, int transparent, DecodedPicture* out) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) return PictureDecoder::CORRUPT;
  const GifImageDesc& frame = gif->Image;
  if (!PictureDecoder::sizeAllowed(frame.Width, frame.Height)) return PictureDecoder::TOO_LARGE;
  int left = frame.Left, top = frame.Top;
  int width = gif->SWidth, height = gif->SHeight;
  if (width <= 0 || height <= 0) {
    // No usable screen: the frame is the picture.
    width = frame.Width;
    height = frame.Height;
    left = top = 0;
  }
  if (!PictureDecoder::sizeAllowed(width, height)) return PictureDecoder::TOO_LARGE;
  const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  if (!map || !map->Colors) return PictureDecoder::CORRUPT;

  uint32_t palette[256];
  for (int i = 0; i < 256; ++i) {
    if (i < map->ColorCount) {
      const GifColorType& c = map->Colors[i];
      palette[i] = 0xFF000000u | uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue;
    } else {
      palette[i] = 0xFF000000u;  // an index past the table reads as black
    }
  }
  if (transparent >= 0 && transparent < 256) palette[transparent] = 0;

  if (!allocatePixels(out, width, height)) return PictureDecoder::TOO_LARGE;
  std::fill(out->pixels.begin(), out->pixels.end(), 0u);  // the screen outside the frame is transparent
  std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
  // Interlaced rows arrive in four passes: every 8th from 0, every 8th from 4, every 4th from 2, every 2nd
  // from 1.
  static const int START[4] = {0, 4, 2, 1}, STEP[4] = {8, 8, 4, 2};
  int passes = frame.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    int start = frame.Interlace ? START[pass] : 0, step = frame.Interlace ? STEP[pass] : 1;
    for (int row = start; row < frame.Height; row += step) {
      if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) return PictureDecoder::CORRUPT;
      int y = top + row;
      if (y < 0 || y >= height) continue;
      uint32_t* dest = out->pixels.data() + static_cast<size_t>(y) * width;
      int x0 = std::max(0, -left), x1 = std::min(frame.Width, width - left);
      for (int x = x0; x < x1; ++x) dest[left + x] = palette[line[x]];
    }
  }
  return PictureDecoder::OK;
}

}  // namespace

PictureDecoder::Result decodeGif(const unsigned char* data, size_t length, DecodedPicture* out) {
  try {
    MemoryReader reader{data, length, 0};
    GifFile gif(DGifOpen(&reader, readBytes, nullptr));
    if (!gif.get()) return PictureDecoder::CORRUPT;
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
      GifRecordType type = UNDEFINED_RECORD_TYPE;
      if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return PictureDecoder::CORRUPT;
      if (type == IMAGE_DESC_RECORD_TYPE) return readFrame(gif.get(), transparent, out);
      if (type == EXTENSION_RECORD_TYPE) {
        if (!readExtension(gif.get(), &transparent)) return PictureDecoder::CORRUPT;
        continue;
      }
      return PictureDecoder::CORRUPT;  // the end, or anything else, before a frame
    }
  } catch (const std::bad_alloc&) {
    return PictureDecoder::TOO_LARGE;
  }
}

}  // namespace codecs
}  // namespace platform
}  // namespace vwt
