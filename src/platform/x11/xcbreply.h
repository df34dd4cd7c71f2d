// Ownership of the replies and events libxcb hands out: each is one malloc'd block the caller frees.
#pragma once

#include <cstdlib>
#include <memory>

template <typename T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

/// Takes ownership of a reply or event from libxcb (which may be null).
template <typename T> XcbReply<T> xcbReply(T *reply)
{
    return XcbReply<T>(reply, &std::free);
}
