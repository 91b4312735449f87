#pragma once
// Encoders for test pictures: PNG through libpng, JPEG through libjpeg, GIF through giflib, from
// straight (not premultiplied) 0xAARRGGBB pixels, into bytes in memory.

#include <gif_lib.h>
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// clang-format off
#include <jpeglib.h>
// clang-format on

namespace picturebytes {

struct Png {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;  // straight alpha, width * height
  int colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  int depth = 8;  // 16 for RGB(A) and grey
  bool interlaced = false;
  int pixelsPerMetre = 0;  // pHYs when not 0
};

namespace detail {
inline void append(png_structp png, png_bytep data, png_size_t n) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), n);
}
inline void flush(png_structp) {}

// Only plain data lives in the function that calls setjmp.
inline bool writePng(const Png* spec, png_bytep* rows, png_colorp palette, int paletteSize, png_bytep alphas,
                     std::string* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, append, flush);
  png_set_IHDR(png, info, spec->width, spec->height, spec->depth, spec->colourType,
               spec->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (spec->colourType == PNG_COLOR_TYPE_PALETTE) {
    png_set_PLTE(png, info, palette, paletteSize);
    png_set_tRNS(png, info, alphas, paletteSize, nullptr);
  }
  if (spec->pixelsPerMetre)
    png_set_pHYs(png, info, spec->pixelsPerMetre, spec->pixelsPerMetre, PNG_RESOLUTION_METER);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}
}  // namespace detail

inline std::string encode(const Png& spec) {
  int channels = spec.colourType == PNG_COLOR_TYPE_RGB_ALPHA    ? 4
                 : spec.colourType == PNG_COLOR_TYPE_RGB        ? 3
                 : spec.colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                : 1;
  int bytes = spec.depth / 8;
  std::vector<std::vector<png_byte>> rows(spec.height, std::vector<png_byte>(spec.width * channels * bytes));
  std::vector<uint32_t> paletteArgb;
  for (int y = 0; y < spec.height; ++y) {
    for (int x = 0; x < spec.width; ++x) {
      uint32_t p = spec.argb[y * spec.width + x];
      uint32_t v[4] = {p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF, p >> 24};
      std::vector<uint32_t> samples;
      if (spec.colourType == PNG_COLOR_TYPE_PALETTE) {
        size_t i = 0;
        while (i < paletteArgb.size() && paletteArgb[i] != p) ++i;
        if (i == paletteArgb.size()) paletteArgb.push_back(p);
        samples = {static_cast<uint32_t>(i)};
      } else if (spec.colourType == PNG_COLOR_TYPE_GRAY) {
        samples = {v[1]};
      } else if (spec.colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        samples = {v[1], v[3]};
      } else {
        samples = {v[0], v[1], v[2]};
        if (channels == 4) samples.push_back(v[3]);
      }
      png_byte* dest = rows[y].data() + (x * channels) * bytes;
      for (uint32_t s : samples) {
        if (bytes == 2) {
          uint32_t wide = s * 257;
          *dest++ = static_cast<png_byte>(wide >> 8);
          *dest++ = static_cast<png_byte>(wide);
        } else {
          *dest++ = static_cast<png_byte>(s);
        }
      }
    }
  }
  std::vector<png_color> palette;
  std::vector<png_byte> alphas;
  for (uint32_t p : paletteArgb) {
    palette.push_back(
        png_color{static_cast<png_byte>(p >> 16), static_cast<png_byte>(p >> 8), static_cast<png_byte>(p)});
    alphas.push_back(static_cast<png_byte>(p >> 24));
  }
  std::vector<png_bytep> rowPointers;
  for (auto& r : rows) rowPointers.push_back(r.data());
  std::string out;
  detail::writePng(&spec, rowPointers.data(), palette.data(), static_cast<int>(palette.size()), alphas.data(),
                   &out);
  return out;
}

// Rewrites the size in a PNG's header, with its checksum.
inline std::string withPngSize(std::string png, uint32_t width, uint32_t height) {
  unsigned char* p = reinterpret_cast<unsigned char*>(&png[0]);
  for (int i = 0; i < 4; ++i) {
    p[16 + i] = static_cast<unsigned char>(width >> (24 - 8 * i));
    p[20 + i] = static_cast<unsigned char>(height >> (24 - 8 * i));
  }
  uint32_t crc = static_cast<uint32_t>(crc32(0, p + 12, 17));
  for (int i = 0; i < 4; ++i) p[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
  return png;
}

struct Jpeg {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;  // alpha ignored
  bool grey = false;
  bool cmyk = false;  // Adobe's inverted inks, black ink none
  bool progressive = false;
  int dotsPerInch = 0;  // JFIF density when not 0
  int quality = 95;
};

inline std::string encode(const Jpeg& spec) {
  jpeg_compress_struct c;
  jpeg_error_mgr errors;
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = spec.width;
  c.image_height = spec.height;
  c.input_components = spec.grey ? 1 : spec.cmyk ? 4 : 3;
  c.in_color_space = spec.grey ? JCS_GRAYSCALE : spec.cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, spec.quality, TRUE);
  // No chroma subsampling: colour edges stay where the test put them.
  for (int i = 0; i < c.num_components; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
  if (spec.progressive) jpeg_simple_progression(&c);
  if (spec.dotsPerInch) {
    c.write_JFIF_header = TRUE;
    c.density_unit = 1;
    c.X_density = c.Y_density = static_cast<UINT16>(spec.dotsPerInch);
  }
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(spec.width * 4);
  while (c.next_scanline < c.image_height) {
    for (int x = 0; x < spec.width; ++x) {
      uint32_t p = spec.argb[c.next_scanline * spec.width + x];
      if (spec.grey) {
        row[x] = static_cast<unsigned char>(p >> 8);
      } else if (spec.cmyk) {
        row[4 * x] = static_cast<unsigned char>(p >> 16);
        row[4 * x + 1] = static_cast<unsigned char>(p >> 8);
        row[4 * x + 2] = static_cast<unsigned char>(p);
        row[4 * x + 3] = 255;
      } else {
        row[3 * x] = static_cast<unsigned char>(p >> 16);
        row[3 * x + 1] = static_cast<unsigned char>(p >> 8);
        row[3 * x + 2] = static_cast<unsigned char>(p);
      }
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string out(reinterpret_cast<const char*>(buffer), size);
  free(buffer);
  return out;
}

struct Gif {
  int screenWidth = 0;
  int screenHeight = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indices;   // width * height
  std::vector<uint32_t> palette;  // 0x00RRGGBB, a power of two long
  bool localPalette = false;      // the frame's own table instead of the global one
  int transparent = -1;
  bool interlaced = false;
};

namespace detail {
inline int appendGif(GifFileType* gif, const GifByteType* data, int n) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), n);
  return n;
}
}  // namespace detail

inline std::string encode(const Gif& spec) {
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, detail::appendGif, &error);
  std::vector<GifColorType> colours;
  for (uint32_t c : spec.palette)
    colours.push_back(GifColorType{static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8),
                                   static_cast<GifByteType>(c)});
  ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, spec.screenWidth, spec.screenHeight, 8, 0, spec.localPalette ? nullptr : map);
  if (spec.transparent >= 0) {
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
    gcb.TransparentColor = spec.transparent;
    GifByteType ext[4];
    size_t n = EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext);
  }
  EGifPutImageDesc(gif, spec.left, spec.top, spec.width, spec.height, spec.interlaced,
                   spec.localPalette ? map : nullptr);
  std::vector<int> order;
  if (spec.interlaced) {
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = start[pass]; y < spec.height; y += step[pass]) order.push_back(y);
  } else {
    for (int y = 0; y < spec.height; ++y) order.push_back(y);
  }
  for (int y : order) {
    std::vector<GifPixelType> line(spec.indices.begin() + y * spec.width,
                                   spec.indices.begin() + (y + 1) * spec.width);
    EGifPutLine(gif, line.data(), spec.width);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

// Straight ARGB to the premultiplied form the decoder gives.
inline uint32_t premultiply(uint32_t p) {
  uint32_t a = p >> 24;
  auto m = [a](uint32_t c) { return (c * a + 127) / 255; };
  return a << 24 | m(p >> 16 & 0xFF) << 16 | m(p >> 8 & 0xFF) << 8 | m(p & 0xFF);
}

}  // namespace picturebytes
