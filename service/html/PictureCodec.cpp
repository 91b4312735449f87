#include "service/html/PictureCodec.h"

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

namespace vesk {

namespace {

uint32_t be32(const std::string& b, size_t i) {
  return (static_cast<uint32_t>(static_cast<unsigned char>(b[i])) << 24) |
         (static_cast<uint32_t>(static_cast<unsigned char>(b[i + 1])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(b[i + 2])) << 8) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[i + 3]));
}

bool withinLimits(int64_t w, int64_t h) {
  return w > 0 && h > 0 && w <= PictureCodec::MAX_SIDE && h <= PictureCodec::MAX_SIDE &&
         w * h <= PictureCodec::MAX_PIXELS;
}

bool probeJpeg(const std::string& b, int& w, int& h) {
  size_t i = 2;
  while (i + 4 <= b.size()) {
    if (static_cast<unsigned char>(b[i]) != 0xFF) return false;
    unsigned char marker = static_cast<unsigned char>(b[i + 1]);
    if (marker == 0xFF) {
      ++i;
      continue;
    }
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      i += 2;
      continue;
    }
    size_t len = (static_cast<unsigned char>(b[i + 2]) << 8) | static_cast<unsigned char>(b[i + 3]);
    if (len < 2) return false;
    bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (sof) {
      if (i + 9 > b.size()) return false;
      h = (static_cast<unsigned char>(b[i + 5]) << 8) | static_cast<unsigned char>(b[i + 6]);
      w = (static_cast<unsigned char>(b[i + 7]) << 8) | static_cast<unsigned char>(b[i + 8]);
      return w > 0 && h > 0;
    }
    i += 2 + len;
  }
  return false;
}

struct JpegError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
};

void jpegFail(j_common_ptr info) { longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }
void jpegQuiet(j_common_ptr, int) {}

bool decodeJpeg(const std::string& bytes, PictureCodec::Pixels& out, int maxW, int maxH) {
  jpeg_decompress_struct info;
  JpegError err;
  info.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = jpegFail;
  err.mgr.emit_message = jpegQuiet;
  // Locals that survive the longjmp are only the ones declared before it.
  std::vector<uint8_t> row;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  info.scale_num = 1;
  info.scale_denom = 1;
  while (info.scale_denom < 8) {
    int64_t w = (info.image_width + info.scale_denom - 1) / info.scale_denom;
    int64_t h = (info.image_height + info.scale_denom - 1) / info.scale_denom;
    if (withinLimits(w, h) && w <= std::max(maxW, 1) * 2 && h <= std::max(maxH, 1) * 2) break;
    info.scale_denom *= 2;
  }
  jpeg_calc_output_dimensions(&info);
  if (!withinLimits(info.output_width, info.output_height) || info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_start_decompress(&info);
  out.width = static_cast<int>(info.output_width);
  out.height = static_cast<int>(info.output_height);
  out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 255);
  row.resize(static_cast<size_t>(out.width) * 3);
  while (info.output_scanline < info.output_height) {
    unsigned char* rows[1] = {row.data()};
    int y = static_cast<int>(info.output_scanline);
    jpeg_read_scanlines(&info, rows, 1);
    uint8_t* dst = &out.rgba[static_cast<size_t>(y) * out.width * 4];
    for (int x = 0; x < out.width; ++x) std::memcpy(dst + x * 4, &row[x * 3], 3);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

bool decodePng(const std::string& bytes, PictureCodec::Pixels& out) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  if (!withinLimits(image.width, image.height)) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.rgba.assign(PNG_IMAGE_SIZE(image), 0);
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  return true;
}

struct GifSource {
  const std::string* bytes;
  size_t pos;
};

int gifRead(GifFileType* gif, GifByteType* buf, int len) {
  auto* src = static_cast<GifSource*>(gif->UserData);
  size_t n = std::min(static_cast<size_t>(std::max(len, 0)), src->bytes->size() - src->pos);
  std::memcpy(buf, src->bytes->data() + src->pos, n);
  src->pos += n;
  return static_cast<int>(n);
}

bool decodeGif(const std::string& bytes, PictureCodec::Pixels& out) {
  GifSource src{&bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&src, gifRead, &error);
  if (!gif) return false;
  bool ok = false;
  if (withinLimits(gif->SWidth, gif->SHeight) && DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
    const SavedImage& frame = gif->SavedImages[0];
    const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
    int transparent = -1;
    GraphicsControlBlock gcb;
    if (DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 0);
    const GifImageDesc& d = frame.ImageDesc;
    if (map && frame.RasterBits) {
      for (int y = 0; y < d.Height; ++y) {
        for (int x = 0; x < d.Width; ++x) {
          int px = d.Left + x, py = d.Top + y;
          if (px < 0 || py < 0 || px >= out.width || py >= out.height) continue;
          int c = frame.RasterBits[static_cast<size_t>(y) * d.Width + x];
          if (c == transparent || c >= map->ColorCount) continue;
          uint8_t* p = &out.rgba[(static_cast<size_t>(py) * out.width + px) * 4];
          p[0] = map->Colors[c].Red;
          p[1] = map->Colors[c].Green;
          p[2] = map->Colors[c].Blue;
          p[3] = 255;
        }
      }
      ok = true;
    }
  }
  DGifCloseFile(gif, &error);
  return ok;
}

}  // namespace

PictureCodec::Format PictureCodec::sniff(const std::string& b) {
  if (b.size() >= 8 && std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0) return PNG;
  if (b.size() >= 3 && std::memcmp(b.data(), "\xFF\xD8\xFF", 3) == 0) return JPEG;
  if (b.size() >= 6 && (std::memcmp(b.data(), "GIF87a", 6) == 0 || std::memcmp(b.data(), "GIF89a", 6) == 0))
    return GIF;
  return UNKNOWN;
}

bool PictureCodec::probe(const std::string& b, int& w, int& h) {
  switch (sniff(b)) {
    case PNG:
      if (b.size() < 24) return false;
      w = static_cast<int>(std::min<uint32_t>(be32(b, 16), 0x7FFFFFFF));
      h = static_cast<int>(std::min<uint32_t>(be32(b, 20), 0x7FFFFFFF));
      return w > 0 && h > 0;
    case GIF:
      if (b.size() < 10) return false;
      w = static_cast<unsigned char>(b[6]) | (static_cast<unsigned char>(b[7]) << 8);
      h = static_cast<unsigned char>(b[8]) | (static_cast<unsigned char>(b[9]) << 8);
      return w > 0 && h > 0;
    case JPEG:
      return probeJpeg(b, w, h);
    default:
      return false;
  }
}

bool PictureCodec::decode(const std::string& bytes, Pixels& out, int maxWidth, int maxHeight) {
  out = Pixels();
  switch (sniff(bytes)) {
    case PNG:
      return decodePng(bytes, out);
    case JPEG:
      return decodeJpeg(bytes, out, maxWidth, maxHeight);
    case GIF:
      return decodeGif(bytes, out);
    default:
      return false;
  }
}

PictureCodec::Pixels PictureCodec::scale(const Pixels& in, int width, int height) {
  Pixels out;
  out.width = std::max(1, width);
  out.height = std::max(1, height);
  out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 0);
  if (in.width <= 0 || in.height <= 0) return out;
  for (int y = 0; y < out.height; ++y) {
    int y0 = static_cast<int>(static_cast<int64_t>(y) * in.height / out.height);
    int y1 = std::max(y0 + 1, static_cast<int>(static_cast<int64_t>(y + 1) * in.height / out.height));
    for (int x = 0; x < out.width; ++x) {
      int x0 = static_cast<int>(static_cast<int64_t>(x) * in.width / out.width);
      int x1 = std::max(x0 + 1, static_cast<int>(static_cast<int64_t>(x + 1) * in.width / out.width));
      uint64_t sum[4] = {0, 0, 0, 0};
      for (int sy = y0; sy < y1; ++sy) {
        const uint8_t* p = &in.rgba[(static_cast<size_t>(sy) * in.width + x0) * 4];
        for (int sx = x0; sx < x1; ++sx, p += 4) {
          // Weighted by alpha, so transparent pixels do not darken the edges.
          sum[0] += p[0] * p[3];
          sum[1] += p[1] * p[3];
          sum[2] += p[2] * p[3];
          sum[3] += p[3];
        }
      }
      uint8_t* q = &out.rgba[(static_cast<size_t>(y) * out.width + x) * 4];
      uint64_t n = static_cast<uint64_t>(y1 - y0) * (x1 - x0);
      if (sum[3] > 0) {
        for (int c = 0; c < 3; ++c) q[c] = static_cast<uint8_t>(sum[c] / sum[3]);
      }
      q[3] = static_cast<uint8_t>(sum[3] / n);
    }
  }
  return out;
}

std::string PictureCodec::encodePng(const Pixels& pixels) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(pixels.width);
  image.height = static_cast<png_uint_32>(pixels.height);
  bool opaque = true;
  for (size_t i = 3; i < pixels.rgba.size() && opaque; i += 4) opaque = pixels.rgba[i] == 255;
  std::vector<uint8_t> data;
  if (opaque) {
    image.format = PNG_FORMAT_RGB;
    data.reserve(pixels.rgba.size() / 4 * 3);
    for (size_t i = 0; i < pixels.rgba.size(); i += 4)
      data.insert(data.end(), &pixels.rgba[i], &pixels.rgba[i + 3]);
  } else {
    image.format = PNG_FORMAT_RGBA;
    data = pixels.rgba;
  }
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, data.data(), 0, nullptr)) return {};
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, data.data(), 0, nullptr)) return {};
  out.resize(size);
  return out;
}

}  // namespace vesk
