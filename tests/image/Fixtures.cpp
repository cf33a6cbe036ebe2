#include "tests/image/Fixtures.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on
#include <gif_lib.h>
#include <png.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

namespace fixtures {

namespace {

void put16(ByteVector& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void put32(ByteVector& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    out[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
}

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<ByteVector*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void pngFlush(png_structp /*png*/) {}

}  // namespace

Painter solid(Bgra color) {
  return [color](int, int) { return color; };
}

s::PoolPtr<s::image::ImageCache> solidPicture(int size, Bgra color, bool alpha) {
  auto image = s::image::ImageCache::create(size, size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      std::memcpy(image->pixel(x, y), &color, 4);
    }
  }
  image->setHasAlpha(alpha);
  return image;
}

ByteVector png(int width, int height, PngKind kind, const Painter& paint) {
  ByteVector out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)) != 0) {
    throw std::runtime_error("png write");
  }
  png_set_write_fn(png, &out, pngWrite, pngFlush);
  std::vector<png_color> palette;
  std::vector<png_byte> alphas;
  std::map<uint32_t, int> indexes;
  if (kind == PngKind::PaletteWithTransparency) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        Bgra c = paint(x, y);
        uint32_t key = c.b | (c.g << 8) | (c.r << 16) | (uint32_t{c.a} << 24);
        if (indexes.emplace(key, static_cast<int>(palette.size())).second) {
          palette.push_back({c.r, c.g, c.b});
          alphas.push_back(c.a);
        }
      }
    }
  }
  const int type = kind == PngKind::Rgba     ? PNG_COLOR_TYPE_RGBA
                   : kind == PngKind::Rgb    ? PNG_COLOR_TYPE_RGB
                   : kind == PngKind::Gray16 ? PNG_COLOR_TYPE_GRAY
                                             : PNG_COLOR_TYPE_PALETTE;
  png_set_IHDR(png, info, width, height, kind == PngKind::Gray16 ? 16 : 8, type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (kind == PngKind::PaletteWithTransparency) {
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
  }
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<size_t>(width) * 4);
  for (int y = 0; y < height; ++y) {
    size_t n = 0;
    for (int x = 0; x < width; ++x) {
      Bgra c = paint(x, y);
      switch (kind) {
        case PngKind::Rgba:
          row[n++] = c.r, row[n++] = c.g, row[n++] = c.b, row[n++] = c.a;
          break;
        case PngKind::Rgb:
          row[n++] = c.r, row[n++] = c.g, row[n++] = c.b;
          break;
        case PngKind::Gray16:
          row[n++] = c.g, row[n++] = 0;
          break;
        case PngKind::PaletteWithTransparency:
          row[n++] = static_cast<png_byte>(
              indexes[c.b | (c.g << 8) | (c.r << 16) | (uint32_t{c.a} << 24)]);
          break;
      }
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

ByteVector jpeg(int width, int height, const Painter& paint, bool gray) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = gray ? 1 : 3;
  info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < width; ++x) {
      Bgra c = paint(x, y);
      if (gray) {
        row[x] = c.g;
      } else {
        row[3 * x] = c.r, row[3 * x + 1] = c.g, row[3 * x + 2] = c.b;
      }
    }
    JSAMPROW rows = row.data();
    jpeg_write_scanlines(&info, &rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  ByteVector out(buffer, buffer + size);
  free(buffer);
  return out;
}

namespace {
int gifWrite(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<ByteVector*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}
}  // namespace

ByteVector gif(int width, int height, const std::vector<Bgra>& palette,
               const std::function<int(int, int)>& index, int transparent, bool interlaced) {
  ByteVector out;
  int error = 0;
  GifFileType* file = EGifOpen(&out, gifWrite, &error);
  int size = 2;
  while (size < static_cast<int>(palette.size())) {
    size *= 2;
  }
  std::vector<GifColorType> colors(static_cast<size_t>(size));
  for (size_t i = 0; i < palette.size(); ++i) {
    colors[i] = {palette[i].r, palette[i].g, palette[i].b};
  }
  ColorMapObject* map = GifMakeMapObject(size, colors.data());
  EGifSetGifVersion(file, true);
  EGifPutScreenDesc(file, width, height, 8, 0, map);
  if (transparent >= 0) {
    GraphicsControlBlock control{};
    control.TransparentColor = transparent;
    GifByteType extension[4];
    size_t length = EGifGCBToExtension(&control, extension);
    EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension);
  }
  EGifPutImageDesc(file, 0, 0, width, height, interlaced, nullptr);
  std::vector<GifPixelType> line(static_cast<size_t>(width));
  std::vector<int> order;
  if (interlaced) {
    const int start[] = {0, 4, 2, 1};
    const int step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (int y = start[pass]; y < height; y += step[pass]) {
        order.push_back(y);
      }
    }
  } else {
    for (int y = 0; y < height; ++y) {
      order.push_back(y);
    }
  }
  for (int y : order) {
    for (int x = 0; x < width; ++x) {
      line[x] = static_cast<GifPixelType>(index(x, y));
    }
    EGifPutLine(file, line.data(), width);
  }
  EGifCloseFile(file, &error);
  GifFreeMapObject(map);
  return out;
}

ByteVector gifFrame(int screenWidth, int screenHeight, int left, int top, int width, int height,
                    Bgra color) {
  ByteVector out;
  int error = 0;
  GifFileType* file = EGifOpen(&out, gifWrite, &error);
  GifColorType colors[2] = {{color.r, color.g, color.b}, {0, 0, 0}};
  ColorMapObject* map = GifMakeMapObject(2, colors);
  EGifPutScreenDesc(file, screenWidth, screenHeight, 8, 0, map);
  EGifPutImageDesc(file, left, top, width, height, false, nullptr);
  std::vector<GifPixelType> line(static_cast<size_t>(width), 0);
  for (int y = 0; y < height; ++y) {
    EGifPutLine(file, line.data(), width);
  }
  EGifCloseFile(file, &error);
  GifFreeMapObject(map);
  return out;
}

namespace {

// The header, palette and pixel rows of a device-independent bitmap (without file header).
ByteVector dib(int width, int height, int bits, const Painter& paint, bool icon) {
  ByteVector out(40);
  put32(out, 0, 40);
  put32(out, 4, width);
  put32(out, 8, icon ? 2 * height : height);
  put16(out, 12, 1);
  put16(out, 14, bits);
  std::vector<Bgra> palette;
  std::map<uint32_t, int> indexes;
  if (bits <= 8) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        Bgra c = paint(x, y);
        uint32_t key = c.b | (c.g << 8) | (c.r << 16);
        if (indexes.emplace(key, static_cast<int>(palette.size())).second) {
          palette.push_back(c);
        }
      }
    }
    put32(out, 32, static_cast<uint32_t>(palette.size()));
    for (const Bgra& c : palette) {
      out.insert(out.end(), {c.b, c.g, c.r, 0});
    }
  }
  const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  for (int y = height - 1; y >= 0; --y) {
    ByteVector row(stride);
    for (int x = 0; x < width; ++x) {
      Bgra c = paint(x, y);
      if (bits <= 8) {
        const int index = indexes[c.b | (c.g << 8) | (c.r << 16)];
        const size_t bit = static_cast<size_t>(x) * bits;
        row[bit / 8] |= static_cast<uint8_t>(index << (8 - bits - bit % 8));
      } else if (bits == 24) {
        row[3 * x] = c.b, row[3 * x + 1] = c.g, row[3 * x + 2] = c.r;
      } else {
        row[4 * x] = c.b, row[4 * x + 1] = c.g, row[4 * x + 2] = c.r, row[4 * x + 3] = c.a;
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  if (icon) {
    const size_t maskStride = (static_cast<size_t>(width) + 31) / 32 * 4;
    for (int y = height - 1; y >= 0; --y) {
      ByteVector row(maskStride);
      for (int x = 0; x < width; ++x) {
        if (paint(x, y).a == 0) {
          row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
      }
      out.insert(out.end(), row.begin(), row.end());
    }
  }
  return out;
}

}  // namespace

ByteVector bmp(int width, int height, int bits, const Painter& paint) {
  ByteVector body = dib(width, height, bits, paint, false);
  uint32_t palette = bits <= 8 ? body[32] | (body[33] << 8) : 0;
  ByteVector out(14);
  out[0] = 'B';
  out[1] = 'M';
  put32(out, 2, static_cast<uint32_t>(14 + body.size()));
  put32(out, 10, 14 + 40 + 4 * palette);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

ByteVector iconBitmap(int width, int height, int bits, const Painter& paint) {
  return dib(width, height, bits, paint, true);
}

ByteVector ico(const std::vector<IcoImage>& images) {
  ByteVector out(6 + 16 * images.size());
  put16(out, 2, 1);
  put16(out, 4, static_cast<uint32_t>(images.size()));
  for (size_t i = 0; i < images.size(); ++i) {
    const size_t at = 6 + 16 * i;
    out[at] = images[i].width;
    out[at + 1] = images[i].height;
    put16(out, at + 4, 1);
    put16(out, at + 6, images[i].bits);
    put32(out, at + 8, static_cast<uint32_t>(images[i].data.size()));
    put32(out, at + 12, static_cast<uint32_t>(out.size()));
    out.insert(out.end(), images[i].data.begin(), images[i].data.end());
  }
  return out;
}

ByteVector peModule(const std::vector<std::vector<IcoImage>>& groups,
                    const std::vector<uint16_t>& missingIcons) {
  constexpr uint32_t kSectionRva = 0x1000;
  constexpr uint32_t kSectionFile = 0x200;
  // Resources by type (3 icons, 14 groups), each name an id with one language.
  std::map<uint16_t, std::vector<std::pair<uint16_t, ByteVector>>> types;
  uint16_t nextIcon = 1;
  for (size_t g = 0; g < groups.size(); ++g) {
    ByteVector group(6);
    put16(group, 2, 1);
    put16(group, 4, static_cast<uint32_t>(groups[g].size()));
    for (const IcoImage& image : groups[g]) {
      const uint16_t id = nextIcon++;
      ByteVector entry(14);
      entry[0] = image.width;
      entry[1] = image.height;
      put16(entry, 4, 1);
      put16(entry, 6, image.bits);
      put32(entry, 8, static_cast<uint32_t>(image.data.size()));
      put16(entry, 12, id);
      group.insert(group.end(), entry.begin(), entry.end());
      if (std::find(missingIcons.begin(), missingIcons.end(), id) == missingIcons.end()) {
        types[3].emplace_back(id, image.data);
      }
    }
    types[14].emplace_back(static_cast<uint16_t>(100 + g), group);
  }
  // Layout: root, type directories, language directories, data entries, then the data.
  ByteVector rsrc;
  auto directory = [&rsrc](size_t count) {
    size_t at = rsrc.size();
    rsrc.resize(at + 16 + 8 * count);
    put16(rsrc, at + 14, static_cast<uint32_t>(count));
    return at;
  };
  const size_t root = directory(types.size());
  std::vector<std::pair<size_t, const ByteVector*>> dataEntries;
  size_t t = 0;
  for (auto& [type, names] : types) {
    const size_t dir = directory(names.size());
    put32(rsrc, root + 16 + 8 * t, type);
    put32(rsrc, root + 16 + 8 * t + 4, 0x80000000u | static_cast<uint32_t>(dir));
    for (size_t n = 0; n < names.size(); ++n) {
      const size_t language = directory(1);
      put32(rsrc, dir + 16 + 8 * n, names[n].first);
      put32(rsrc, dir + 16 + 8 * n + 4, 0x80000000u | static_cast<uint32_t>(language));
      put32(rsrc, language + 16, 0x409);
      dataEntries.emplace_back(language + 16 + 4, &names[n].second);
    }
    ++t;
  }
  std::vector<size_t> entryAt;
  for (auto& [slot, data] : dataEntries) {
    const size_t at = rsrc.size();
    rsrc.resize(at + 16);
    put32(rsrc, slot, static_cast<uint32_t>(at));
    entryAt.push_back(at);
  }
  for (size_t i = 0; i < dataEntries.size(); ++i) {
    while (rsrc.size() % 4 != 0) {
      rsrc.push_back(0);
    }
    const ByteVector& data = *dataEntries[i].second;
    put32(rsrc, entryAt[i], kSectionRva + static_cast<uint32_t>(rsrc.size()));
    put32(rsrc, entryAt[i] + 4, static_cast<uint32_t>(data.size()));
    rsrc.insert(rsrc.end(), data.begin(), data.end());
  }
  while (rsrc.size() % 0x200 != 0) {
    rsrc.push_back(0);
  }

  ByteVector out(kSectionFile);
  out[0] = 'M';
  out[1] = 'Z';
  put32(out, 0x3C, 0x40);
  std::memcpy(out.data() + 0x40, "PE\0\0", 4);
  put16(out, 0x44, 0x14C);  // i386
  put16(out, 0x46, 1);      // one section
  put16(out, 0x54, 224);    // optional header size
  put16(out, 0x56, 0x0102);
  const size_t optional = 0x58;
  put16(out, optional, 0x10B);
  put32(out, optional + 92, 16);
  put32(out, optional + 96 + 16, kSectionRva);
  put32(out, optional + 96 + 20, static_cast<uint32_t>(rsrc.size()));
  const size_t section = optional + 224;
  std::memcpy(out.data() + section, ".rsrc\0\0\0", 8);
  put32(out, section + 8, static_cast<uint32_t>(rsrc.size()));
  put32(out, section + 12, kSectionRva);
  put32(out, section + 16, static_cast<uint32_t>(rsrc.size()));
  put32(out, section + 20, kSectionFile);
  out.insert(out.end(), rsrc.begin(), rsrc.end());
  return out;
}

std::string TempDir::write(const std::string& name, const ByteVector& bytes) const {
  std::string file = path_ + "/" + name;
  std::filesystem::create_directories(std::filesystem::path(file).parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return file;
}

}  // namespace fixtures
