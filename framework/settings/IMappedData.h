#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "framework/col/Array.h"

namespace s::settings {

// A typed store of values addressed by a directory path ("a/b" or "a\b", empty for the
// root) and a key. Getters answer the caller's default when the directory or key is
// missing; setters create what is missing.
class IMappedData : public IObject, public IPoolable {
 public:
  virtual bool save() = 0;
  virtual void openDir(std::u16string_view dir) = 0;
  virtual void removeDir(std::u16string_view dir) = 0;
  virtual bool findDir(std::u16string_view dir) = 0;
  virtual bool hasValue(std::u16string_view dir, std::u16string_view key) = 0;

  virtual uint8_t getU8(std::u16string_view dir, std::u16string_view key, uint8_t fallback) = 0;
  virtual uint16_t getU16(std::u16string_view dir, std::u16string_view key, uint16_t fallback) = 0;
  virtual uint32_t getU32(std::u16string_view dir, std::u16string_view key, uint32_t fallback) = 0;
  virtual uint64_t getU64(std::u16string_view dir, std::u16string_view key, uint64_t fallback) = 0;
  virtual int8_t getS8(std::u16string_view dir, std::u16string_view key, int8_t fallback) = 0;
  virtual int16_t getS16(std::u16string_view dir, std::u16string_view key, int16_t fallback) = 0;
  virtual int32_t getS32(std::u16string_view dir, std::u16string_view key, int32_t fallback) = 0;
  virtual int64_t getS64(std::u16string_view dir, std::u16string_view key, int64_t fallback) = 0;
  virtual float getF32(std::u16string_view dir, std::u16string_view key, float fallback) = 0;
  virtual double getF64(std::u16string_view dir, std::u16string_view key, double fallback) = 0;
  virtual bool getBool(std::u16string_view dir, std::u16string_view key, bool fallback) = 0;
  // The text stays valid until the next getString on this store. `expandable`, when given,
  // is set to false: the file keeps no expandable texts.
  virtual std::u16string_view getString(std::u16string_view dir, std::u16string_view key,
                                        std::u16string_view fallback, bool* expandable = nullptr,
                                        bool expand = false) = 0;
  // Decodes the hex pairs into `bytes`; leaves it unchanged when the value is missing.
  virtual void getBytes(std::u16string_view dir, std::u16string_view key, col::ArrayU08& bytes) = 0;
  virtual void removeValue(std::u16string_view dir, std::u16string_view key) = 0;

  virtual void setU8(std::u16string_view dir, std::u16string_view key, uint8_t value) = 0;
  virtual void setU16(std::u16string_view dir, std::u16string_view key, uint16_t value) = 0;
  virtual void setU32(std::u16string_view dir, std::u16string_view key, uint32_t value) = 0;
  virtual void setU64(std::u16string_view dir, std::u16string_view key, uint64_t value) = 0;
  virtual void setS8(std::u16string_view dir, std::u16string_view key, int8_t value) = 0;
  virtual void setS16(std::u16string_view dir, std::u16string_view key, int16_t value) = 0;
  virtual void setS32(std::u16string_view dir, std::u16string_view key, int32_t value) = 0;
  virtual void setS64(std::u16string_view dir, std::u16string_view key, int64_t value) = 0;
  virtual void setF32(std::u16string_view dir, std::u16string_view key, float value) = 0;
  virtual void setF64(std::u16string_view dir, std::u16string_view key, double value) = 0;
  virtual void setBool(std::u16string_view dir, std::u16string_view key, bool value) = 0;
  virtual void setString(std::u16string_view dir, std::u16string_view key,
                         std::u16string_view value) = 0;
  virtual void setExpandString(std::u16string_view dir, std::u16string_view key,
                               std::u16string_view value) = 0;
  virtual void setBytes(std::u16string_view dir, std::u16string_view key, const uint8_t* bytes,
                        uint32_t count) = 0;

  virtual bool autoSave() const = 0;
  virtual void setAutoSave(bool on) = 0;
};

}  // namespace s::settings
