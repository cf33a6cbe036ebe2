#include "image/PngDecoder.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace s::image {

namespace {

struct PngInput {
  Bytes bytes;
  size_t position = 0;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
  if (length > input->bytes.size() - input->position) {
    png_error(png, "truncated");
  }
  std::memcpy(out, input->bytes.data() + input->position, length);
  input->position += length;
}

[[noreturn]] void onError(png_structp png, png_const_charp /*message*/) {
  png_longjmp(png, 1);
}
void onWarning(png_structp /*png*/, png_const_charp /*message*/) {}

}  // namespace

bool PngDecoder::recognises(Bytes bytes) {
  return bytes.size() >= 8 && png_sig_cmp(bytes.data(), 0, 8) == 0;
}

namespace {

struct PngHeader {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  bool alpha = false;
};

// The two steps that call libpng, each its own setjmp frame holding nothing but plain
// pointers: an error longjmps back into the step, which answers false.
bool readHeader(png_structp png, png_infop info, PngInput* input, PngHeader* header) {
  // NOLINTNEXTLINE(cert-err52-cpp): libpng reports errors only by longjmp
  if (setjmp(png_jmpbuf(png)) != 0) {
    return false;
  }
  png_set_read_fn(png, input, readFromMemory);
  png_set_user_limits(png, ImageCache::kMaxDimension, ImageCache::kMaxDimension);
  png_read_info(png, info);
  const int colorType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  header->alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || transparency;
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    png_set_palette_to_rgb(png);
  }
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
    png_set_expand_gray_1_2_4_to_8(png);
  }
  if (transparency) {
    png_set_tRNS_to_alpha(png);
  }
  if (bitDepth == 16) {
    png_set_strip_16(png);
  }
  if ((colorType & PNG_COLOR_MASK_COLOR) == 0) {
    png_set_gray_to_rgb(png);
  }
  png_set_bgr(png);
  if (!header->alpha) {
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  header->width = png_get_image_width(png, info);
  header->height = png_get_image_height(png, info);
  return png_get_rowbytes(png, info) == header->width * 4;
}

bool readRows(png_structp png, png_bytepp rows) {
  // NOLINTNEXTLINE(cert-err52-cpp): libpng reports errors only by longjmp
  if (setjmp(png_jmpbuf(png)) != 0) {
    return false;
  }
  png_read_image(png, rows);
  return true;
}

}  // namespace

PoolPtr<ImageCache> PngDecoder::decode(Bytes bytes) {
  if (!recognises(bytes)) {
    return {};
  }
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  PngInput input{bytes};
  PngHeader header;
  PoolPtr<ImageCache> image;
  if (info != nullptr && readHeader(png, info, &input, &header)) {
    image = ImageCache::create(static_cast<int>(header.width), static_cast<int>(header.height));
  }
  if (image) {
    std::vector<png_bytep> rows(header.height);
    for (png_uint_32 r = 0; r < header.height; ++r) {
      rows[r] = image->row(static_cast<int>(r));
    }
    if (readRows(png, rows.data())) {
      image->setHasAlpha(header.alpha);
    } else {
      image.reset();
    }
  }
  png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
  return image;
}

}  // namespace s::image
