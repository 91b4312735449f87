// Decoding a 480 x 640 PNG and JPEG with PictureDecoder against bare libpng / libjpeg-turbo decodes
// of the same bytes, timed in turn in every iteration (CPU time of the thread). The counter "ratio"
// is our time over the bare decoder's (the aim: at most 1.1).
#include <benchmark/benchmark.h>
#include <time.h>

#include <csetjmp>
#include <random>
#include <string>
#include <vector>

#include "tests/vwt/PictureBytes.h"
#include "vwt/platform/PictureDecoder.h"

using vwt::platform::DecodedPicture;
using vwt::platform::PictureDecoder;

namespace {

const int WIDTH = 480, HEIGHT = 640;

// A page-like picture: bands of flat colour, a gradient and speckled "text" rows.
std::vector<uint32_t> pagePixels() {
  std::mt19937 rng(13);
  std::vector<uint32_t> p;
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x) {
      uint32_t c = (y / 40) % 2 ? 0xFFFFFFFFu
                                : 0xFF000000u | uint32_t(x * 255 / WIDTH) << 16 |
                                      uint32_t(y * 255 / HEIGHT) << 8 | 0x80;
      if ((y % 20) < 12 && (rng() % 3) == 0) c = 0xFF202020u;
      p.push_back(c);
    }
  return p;
}

const std::string& pngBytes() {
  static std::string bytes = [] {
    picturebytes::Png picture;
    picture.width = WIDTH;
    picture.height = HEIGHT;
    picture.argb = pagePixels();
    picture.colourType = PNG_COLOR_TYPE_RGB;
    return picturebytes::encode(picture);
  }();
  return bytes;
}

const std::string& jpegBytes() {
  static std::string bytes = [] {
    picturebytes::Jpeg picture;
    picture.width = WIDTH;
    picture.height = HEIGHT;
    picture.argb = pagePixels();
    picture.quality = 85;
    return picturebytes::encode(picture);
  }();
  return bytes;
}

struct PngSource {
  const std::string* bytes;
  size_t pos;
};

void pngRead(png_structp png, png_bytep dest, png_size_t n) {
  PngSource* s = static_cast<PngSource*>(png_get_io_ptr(png));
  if (n > s->bytes->size() - s->pos) png_error(png, "short");
  memcpy(dest, s->bytes->data() + s->pos, n);
  s->pos += n;
}

// The bare decode: libpng's own transforms to 8-bit RGBA rows, nothing else.
bool barePng(const std::string* bytes, unsigned char* pixels, png_bytep* rows) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  PngSource source{bytes, 0};
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &source, pngRead);
  png_read_info(png, info);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_read_update_info(png, info);
  for (int y = 0; y < HEIGHT; ++y) rows[y] = pixels + static_cast<size_t>(y) * WIDTH * 4;
  png_read_image(png, rows);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

bool bareJpeg(const std::string& bytes, unsigned char* pixels) {
  jpeg_decompress_struct c;
  jpeg_error_mgr errors;
  c.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&c);
  jpeg_mem_src(&c, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_read_header(&c, TRUE);
  jpeg_start_decompress(&c);
  while (c.output_scanline < c.output_height) {
    JSAMPROW row = pixels + static_cast<size_t>(c.output_scanline) * c.output_width * c.output_components;
    jpeg_read_scanlines(&c, &row, 1);
  }
  jpeg_finish_decompress(&c);
  jpeg_destroy_decompress(&c);
  return true;
}

// The thread's CPU time: the machine may be shared, and waiting for a core is nobody's cost.
double cpuSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

template <typename Ours, typename Bare>
void compare(benchmark::State& state, Ours ours, Bare bare) {
  double oursSeconds = 0, bareSeconds = 0;
  for (auto _ : state) {
    double t0 = cpuSeconds();
    if (!ours()) state.SkipWithError("decode failed");
    double t1 = cpuSeconds();
    if (!bare()) state.SkipWithError("bare decode failed");
    double t2 = cpuSeconds();
    oursSeconds += t1 - t0;
    bareSeconds += t2 - t1;
    state.SetIterationTime(t1 - t0);
  }
  state.counters["bare_ms"] = benchmark::Counter(bareSeconds * 1000 / state.iterations());
  state.counters["ratio"] = benchmark::Counter(bareSeconds > 0 ? oursSeconds / bareSeconds : 0);
}

bool decodeOurs(const std::string& bytes, DecodedPicture* picture) {
  bool ok = PictureDecoder::decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                                   picture) == PictureDecoder::OK;
  benchmark::DoNotOptimize(picture->pixels.data());
  return ok;
}

void BM_DecodePng480x640(benchmark::State& state) {
  const std::string& bytes = pngBytes();
  std::vector<unsigned char> pixels(static_cast<size_t>(WIDTH) * HEIGHT * 4);
  std::vector<png_bytep> rows(HEIGHT);
  DecodedPicture picture;
  compare(
      state, [&] { return decodeOurs(bytes, &picture); },
      [&] {
        bool ok = barePng(&bytes, pixels.data(), rows.data());
        benchmark::DoNotOptimize(pixels.data());
        return ok;
      });
}
BENCHMARK(BM_DecodePng480x640)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DecodeJpeg480x640(benchmark::State& state) {
  const std::string& bytes = jpegBytes();
  std::vector<unsigned char> pixels(static_cast<size_t>(WIDTH) * HEIGHT * 3);
  DecodedPicture picture;
  compare(
      state, [&] { return decodeOurs(bytes, &picture); },
      [&] {
        bool ok = bareJpeg(bytes, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
        return ok;
      });
}
BENCHMARK(BM_DecodeJpeg480x640)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
