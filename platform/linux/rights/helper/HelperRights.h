#pragma once

#include <cstdint>

namespace s::platform {

// Keeps in the permitted set only the capabilities of the helper's rights, and empties the
// effective, inheritable and ambient sets: a capability is effective only while a request
// needs it. Gives the rights whose capabilities were there to keep.
uint16_t keepOnlyRightsCapabilities();

// Makes the capabilities of `right` effective for its lifetime.
class RaisedRight {
 public:
  explicit RaisedRight(uint16_t right);
  ~RaisedRight();
  RaisedRight(const RaisedRight&) = delete;
  RaisedRight& operator=(const RaisedRight&) = delete;

  bool raised() const { return raised_; }

 private:
  bool raised_ = false;
};

}  // namespace s::platform
