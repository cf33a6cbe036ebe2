#include "framework/base/IObject.h"

#include <functional>
#include <typeinfo>

#include "framework/base/IPoolable.h"

namespace s {

void ObjectDisposer::operator()(IObject* object) const {
  if (auto* pooled = dynamic_cast<IPoolable*>(object)) {
    pooled->release();
  } else {
    delete object;
  }
}

int IObject::compareTo(const IObject& other, const IComparator<IObject>* comparator) const {
  if (comparator != nullptr) {
    return comparator->compare(*this, other);
  }
  const auto* self = reinterpret_cast<const char*>(this);
  const auto* that = reinterpret_cast<const char*>(&other);
  if (self == that) {
    return 0;
  }
  return std::less<const char*>{}(self, that) ? -1 : 1;
}

int IObject::compareToIgnoreCase(const IObject& other,
                                 const IComparator<IObject>* comparator) const {
  if (comparator != nullptr) {
    return comparator->compareIgnoreCase(*this, other);
  }
  return compareTo(other, nullptr);
}

bool IObject::equals(const IObject& other, const IComparator<IObject>* comparator) const {
  return compareTo(other, comparator) == 0;
}

bool IObject::equalsIgnoreCase(const IObject& other, const IComparator<IObject>* comparator) const {
  return compareToIgnoreCase(other, comparator) == 0;
}

uint32_t IObject::hashCode() const {
  // Any word constant per concrete class will do.
  return static_cast<uint32_t>(typeid(*this).hash_code());
}

uint32_t IObject::hashCodeIgnoreCase() const {
  return hashCode();
}

}  // namespace s
