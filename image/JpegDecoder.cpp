#include "image/JpegDecoder.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <vector>

namespace s::image {

namespace {

// Progressive files may carry any number of scans; a hostile one repeats them to burn time.
constexpr int kMaxScans = 256;

struct JpegErrors {
  jpeg_error_mgr manager{};
  jpeg_progress_mgr progress{};
  jmp_buf jump{};
  bool truncated = false;
};

[[noreturn]] void onError(j_common_ptr info) {
  longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
    reinterpret_cast<JpegErrors*>(info->err)->truncated = true;
  }
}

void onOutput(j_common_ptr /*info*/) {}

void onProgress(j_common_ptr info) {
  if (info->is_decompressor != 0 &&
      reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
    longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
  }
}

// Adobe writes CMYK inverted; the product of the inverted inks is the colour.
void cmykToBgra(const JSAMPLE* in, uint8_t* out, int width) {
  for (int x = 0; x < width; ++x, in += 4, out += 4) {
    const int k = in[3];
    out[0] = static_cast<uint8_t>(in[2] * k / 255);
    out[1] = static_cast<uint8_t>(in[1] * k / 255);
    out[2] = static_cast<uint8_t>(in[0] * k / 255);
    out[3] = 0xFF;
  }
}

// The steps that call libjpeg, each its own setjmp frame holding nothing but plain
// pointers: an error longjmps back into the step, which answers false.
bool start(jpeg_decompress_struct* info, JpegErrors* errors, Bytes bytes, bool* cmyk) {
  // NOLINTNEXTLINE(cert-err52-cpp): libjpeg reports errors only through error_exit
  if (setjmp(errors->jump) != 0) {
    return false;
  }
  jpeg_create_decompress(info);
  info->progress = &errors->progress;
  jpeg_mem_src(info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK ||
      !ImageCache::validSize(static_cast<int>(info->image_width),
                             static_cast<int>(info->image_height))) {
    return false;
  }
  *cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
  info->out_color_space = *cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  info->mem->max_memory_to_use = 256L << 20;
  jpeg_start_decompress(info);
  return info->output_components == 4 && !errors->truncated;
}

bool readRows(jpeg_decompress_struct* info, JpegErrors* errors, ImageCache* image,
              JSAMPLE* cmykRow) {
  // NOLINTNEXTLINE(cert-err52-cpp): libjpeg reports errors only through error_exit
  if (setjmp(errors->jump) != 0) {
    return false;
  }
  while (info->output_scanline < info->output_height && !errors->truncated) {
    const int r = static_cast<int>(info->output_scanline);
    JSAMPROW out = cmykRow != nullptr ? cmykRow : image->row(r);
    if (jpeg_read_scanlines(info, &out, 1) != 1) {
      return false;
    }
    if (cmykRow != nullptr) {
      cmykToBgra(cmykRow, image->row(r), image->width());
    }
  }
  return !errors->truncated;
}

}  // namespace

PoolPtr<ImageCache> JpegDecoder::decode(Bytes bytes) {
  if (bytes.size() < 3 || bytes[0] != 0xFF || bytes[1] != 0xD8) {
    return {};
  }
  jpeg_decompress_struct info{};
  JpegErrors errors;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = onError;
  errors.manager.emit_message = onMessage;
  errors.manager.output_message = onOutput;
  errors.progress.progress_monitor = onProgress;
  bool cmyk = false;
  PoolPtr<ImageCache> image;
  if (start(&info, &errors, bytes, &cmyk)) {
    image = ImageCache::create(static_cast<int>(info.output_width),
                               static_cast<int>(info.output_height));
  }
  if (image) {
    std::vector<JSAMPLE> cmykRow(cmyk ? static_cast<size_t>(image->width()) * 4 : 0);
    if (readRows(&info, &errors, image.get(), cmyk ? cmykRow.data() : nullptr)) {
      image->setHasAlpha(false);
    } else {
      image.reset();
    }
  }
  jpeg_destroy_decompress(&info);
  return image;
}

}  // namespace s::image
