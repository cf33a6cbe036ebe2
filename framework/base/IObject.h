#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace s {

// Compares two values of one type; the value comparators and the list sorts use it.
template <class T>
class IComparator {
 public:
  virtual ~IComparator() = default;
  virtual int compare(const T& a, const T& b) const = 0;
  virtual int compareIgnoreCase(const T& a, const T& b) const { return compare(a, b); }
};

class IObject;

// Two families of comparison, equality and hash; hash tables and sorts are told which one.
class IComparable {
 public:
  virtual ~IComparable() = default;
  virtual int compareTo(const IObject& other, const IComparator<IObject>* comparator) const = 0;
  virtual int compareToIgnoreCase(const IObject& other,
                                  const IComparator<IObject>* comparator) const = 0;
  virtual bool equals(const IObject& other, const IComparator<IObject>* comparator) const = 0;
  virtual bool equalsIgnoreCase(const IObject& other,
                                const IComparator<IObject>* comparator) const = 0;
  virtual uint32_t hashCode() const = 0;
  virtual uint32_t hashCodeIgnoreCase() const = 0;
};

// Gives an object back the way it came: pooled objects to their pool, others deleted.
struct ObjectDisposer {
  void operator()(IObject* object) const;
};
using ObjectPtr = std::unique_ptr<IObject, ObjectDisposer>;

// The root of every class. Defaults order objects by address and hash by concrete class.
class IObject : public IComparable {
 public:
  int compareTo(const IObject& other, const IComparator<IObject>* comparator) const override;
  int compareToIgnoreCase(const IObject& other,
                          const IComparator<IObject>* comparator) const override;
  bool equals(const IObject& other, const IComparator<IObject>* comparator) const override;
  bool equalsIgnoreCase(const IObject& other,
                        const IComparator<IObject>* comparator) const override;
  uint32_t hashCode() const override;
  uint32_t hashCodeIgnoreCase() const override;

  // Full name with "::" written "_", e.g. "s_thread_EasyPooler".
  virtual std::u16string_view className() const = 0;
  // A fresh object of the same concrete class in its reset state.
  virtual ObjectPtr newInstance() const = 0;

  // Short forms without a comparator.
  int compareTo(const IObject& other) const { return compareTo(other, nullptr); }
  bool equals(const IObject& other) const { return equals(other, nullptr); }
};

}  // namespace s
