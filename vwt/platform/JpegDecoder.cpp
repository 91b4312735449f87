// JPEG through libjpeg-turbo. Its errors end in longjmp: the function that calls setjmp holds
// only plain data.
// jpeglib.h uses size_t and FILE without declaring them.
// clang-format off
#include <cstddef>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <cstring>

#include "vwt/platform/PictureCodecs.h"

namespace vwt {
namespace platform {
namespace codecs {
namespace {

// A progressive picture may hold any number of scans; real ones use a dozen or so.
const int MAX_SCANS = 1000;

struct JpegJob {
  jpeg_error_mgr errors;  // first: libjpeg hands back a pointer to it
  jpeg_progress_mgr progress;
  jmp_buf jump;
  DecodedPicture* out;
  PictureDecoder::Result result;
};

void onError(j_common_ptr cinfo) { longjmp(reinterpret_cast<JpegJob*>(cinfo->err)->jump, 1); }

// Warnings are quiet, except running out of data: a cut picture is not shown half grey.
void onMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) onError(cinfo);
}

void onProgress(j_common_ptr cinfo) {
  j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > MAX_SCANS) onError(cinfo);
}

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
const J_COLOR_SPACE NATIVE_ARGB = JCS_EXT_ARGB;
#else
const J_COLOR_SPACE NATIVE_ARGB = JCS_EXT_BGRA;
#endif

// CMYK and YCCK come out as CMYK; Adobe's files store the inks inverted.
void cmykRowToArgb(const unsigned char* src, uint32_t* dest, int width, bool inverted) {
  for (int x = 0; x < width; ++x, src += 4) {
    uint32_t c = src[0], m = src[1], y = src[2], k = src[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    dest[x] = 0xFF000000u | (c * k + 127) / 255 << 16 | (m * k + 127) / 255 << 8 | (y * k + 127) / 255;
  }
}

void decode(JpegJob* job, jpeg_decompress_struct* cinfo, const unsigned char* data, size_t length) {
  if (setjmp(job->jump)) return;
  jpeg_create_decompress(cinfo);
  cinfo->progress = &job->progress;
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(length));
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return;
  if (!PictureDecoder::sizeAllowed(static_cast<long>(cinfo->image_width),
                                   static_cast<long>(cinfo->image_height))) {
    job->result = PictureDecoder::TOO_LARGE;
    return;
  }
  bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  bool grey = cinfo->num_components == 1;
  cinfo->out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : NATIVE_ARGB;
  if (cinfo->saw_JFIF_marker && cinfo->X_density > 0 && cinfo->Y_density > 0) {
    if (cinfo->density_unit == 1) {
      job->out->dpiX = cinfo->X_density;
      job->out->dpiY = cinfo->Y_density;
    } else if (cinfo->density_unit == 2) {
      job->out->dpiX = (cinfo->X_density * 254 + 50) / 100;
      job->out->dpiY = (cinfo->Y_density * 254 + 50) / 100;
    }
  }
  jpeg_start_decompress(cinfo);
  int width = static_cast<int>(cinfo->output_width), height = static_cast<int>(cinfo->output_height);
  if (!allocatePixels(job->out, width, height)) {
    job->result = PictureDecoder::TOO_LARGE;
    return;
  }
  uint32_t* pixels = job->out->pixels.data();
  if (!cmyk && !grey) {
    while (cinfo->output_scanline < cinfo->output_height) {
      JSAMPROW row = reinterpret_cast<JSAMPROW>(pixels + static_cast<size_t>(cinfo->output_scanline) * width);
      jpeg_read_scanlines(cinfo, &row, 1);
    }
  } else {
    // The narrow row is read into the end of its own line of pixels, then widened in place from the left.
    while (cinfo->output_scanline < cinfo->output_height) {
      uint32_t* line = pixels + static_cast<size_t>(cinfo->output_scanline) * width;
      if (cmyk) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(line);
        jpeg_read_scanlines(cinfo, &row, 1);
        cmykRowToArgb(reinterpret_cast<const unsigned char*>(line), line, width, cinfo->saw_Adobe_marker);
      } else {
        unsigned char* bytes = reinterpret_cast<unsigned char*>(line);
        JSAMPROW row = bytes + 3 * static_cast<size_t>(width);
        jpeg_read_scanlines(cinfo, &row, 1);
        for (int x = 0; x < width; ++x) line[x] = 0xFF000000u | row[x] * 0x010101u;
      }
    }
  }
  jpeg_finish_decompress(cinfo);
  job->result = PictureDecoder::OK;
}

}  // namespace

PictureDecoder::Result decodeJpeg(const unsigned char* data, size_t length, DecodedPicture* out) {
  JpegJob job;
  std::memset(&job, 0, sizeof job);
  job.out = out;
  job.result = PictureDecoder::CORRUPT;
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&job.errors);
  job.errors.error_exit = onError;
  job.errors.emit_message = onMessage;
  job.progress.progress_monitor = onProgress;
  decode(&job, &cinfo, data, length);
  jpeg_destroy_decompress(&cinfo);
  return job.result;
}

}  // namespace codecs
}  // namespace platform
}  // namespace vwt
