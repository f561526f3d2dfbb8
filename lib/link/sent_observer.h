// A hook that a long transfer calls after each piece that went out, with the bytes
// sent so far; it must not touch the link. Empty: nobody is told.
#pragma once

#include <cstddef>
#include <functional>

namespace korvid::link {

using SentObserver = std::function<void(size_t sentBytes)>;

}  // namespace korvid::link
