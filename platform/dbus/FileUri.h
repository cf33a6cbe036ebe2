#pragma once

#include <string>

namespace s::platform {

// "file://" and the absolute path, every byte outside the unreserved set and "/"
// percent-encoded.
std::string fileUri(const std::string& path);

// The path of a "file://" URI of this host (an empty or "localhost" authority), decoded; empty
// for any other URI or a malformed escape.
std::string pathOfFileUri(const std::string& uri);

}  // namespace s::platform
