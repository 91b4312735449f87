// PNG through libpng. libpng reports errors by longjmp: the function that calls setjmp holds
// only plain data, and everything with a destructor lives in its caller.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "vwt/platform/PictureCodecs.h"

namespace vwt {
namespace platform {
namespace codecs {
namespace {

struct PngJob {
  const unsigned char* data;
  size_t length;
  size_t pos;
  DecodedPicture* out;
  std::vector<png_bytep>* rows;
  bool hasAlpha;
  PictureDecoder::Result result;
};

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
const bool LITTLE_ENDIAN = false;
#else
const bool LITTLE_ENDIAN = true;
#endif

void readBytes(png_structp png, png_bytep dest, png_size_t count) {
  PngJob* job = static_cast<PngJob*>(png_get_io_ptr(png));
  if (count > job->length - job->pos) png_error(png, "truncated");
  std::memcpy(dest, job->data + job->pos, count);
  job->pos += count;
}

void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onWarning(png_structp, png_const_charp) {}

bool makeRows(std::vector<png_bytep>* rows, DecodedPicture* out) noexcept {
  try {
    rows->resize(static_cast<size_t>(out->height));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int y = 0; y < out->height; ++y)
    (*rows)[y] = reinterpret_cast<png_bytep>(out->pixels.data() + static_cast<size_t>(y) * out->width);
  return true;
}

// Decodes into the pixels as BGRA bytes (RGBA on a big-endian machine); the caller premultiplies.
void decodeRows(PngJob* job, png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return;  // job->result says what failed
  png_set_read_fn(png, job, readBytes);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colourType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
  if (!PictureDecoder::sizeAllowed(static_cast<long>(width), static_cast<long>(height))) {
    job->result = PictureDecoder::TOO_LARGE;
    return;
  }
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_scale_16(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  job->hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
  if (!job->hasAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  // B, G, R, A in memory is a native 0xAARRGGBB word on a little-endian machine.
  if (LITTLE_ENDIAN) png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) return;
  png_uint_32 resX = 0, resY = 0;
  int unit = 0;
  if (png_get_pHYs(png, info, &resX, &resY, &unit) && unit == PNG_RESOLUTION_METER) {
    job->out->dpiX = dpiFromPerMetre(resX);
    job->out->dpiY = dpiFromPerMetre(resY);
  }
  if (!allocatePixels(job->out, static_cast<int>(width), static_cast<int>(height)) ||
      !makeRows(job->rows, job->out)) {
    job->result = PictureDecoder::TOO_LARGE;
    return;
  }
  png_read_image(png, job->rows->data());
  // The chunks after the pixels are not needed: a picture cut after its last row still shows.
  job->result = PictureDecoder::OK;
}

}  // namespace

PictureDecoder::Result decodePng(const unsigned char* data, size_t length, DecodedPicture* out) {
  std::vector<png_bytep> rows;
  PngJob job{data, length, 0, out, &rows, false, PictureDecoder::CORRUPT};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
  if (!png) return PictureDecoder::CORRUPT;
  png_infop info = png_create_info_struct(png);
  if (info) decodeRows(&job, png, info);
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  if (job.result != PictureDecoder::OK) return job.result;
  uint32_t* p = out->pixels.data();
  size_t n = out->pixels.size();
  if (LITTLE_ENDIAN) {
    if (!job.hasAlpha) return PictureDecoder::OK;  // already 0xFFRRGGBB
    for (size_t i = 0; i < n; ++i) {
      uint32_t v = p[i], a = v >> 24;
      if (a != 255) p[i] = premultiplied(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF, a);
    }
  } else {
    for (size_t i = 0; i < n; ++i) {
      const unsigned char* b = reinterpret_cast<const unsigned char*>(p + i);
      p[i] = premultiplied(b[0], b[1], b[2], b[3]);
    }
  }
  return PictureDecoder::OK;
}

}  // namespace codecs
}  // namespace platform
}  // namespace vwt
