#include "protocol/frame_buffer.h"

#include "base/byte_search.h"
#include "base/cp1252.h"
#include "protocol/wire.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace kavex {
namespace {

// Above the short-string size, so the text always lives on the heap and moving the
// buffer into the retired list keeps every view into it valid.
constexpr std::size_t kMinimumCapacity = 256;
// Storage beyond this that one large message needed is given back once it is consumed.
constexpr std::size_t kKeptCapacity = std::size_t{1} << 20;
// A Windows-1252 byte takes at most three bytes in UTF-8.
constexpr std::size_t kMaxUtf8PerByte = 3;

} // namespace

FrameBuffer::FrameBuffer() {
    buffer_.reserve(kMinimumCapacity);
}

void FrameBuffer::append(std::string_view wireBytes) {
    const std::size_t needed = buffer_.size() + kMaxUtf8PerByte * wireBytes.size();
    if (viewsOut_ && needed > buffer_.capacity()) moveToNewStorage(needed - offset_);
    cp1252::appendUtf8(wireBytes, buffer_);
    dropInFrontOfStart();
}

void FrameBuffer::moveToNewStorage(std::size_t capacity) {
    std::string fresh;
    fresh.reserve(std::max({capacity, kMinimumCapacity, 2 * buffer_.capacity()}));
    fresh.append(buffer_, offset_);
    retired_.push_back(std::move(buffer_));
    buffer_ = std::move(fresh);
    noStartBelow_ = noStartBelow_ > offset_ ? noStartBelow_ - offset_ : 0;
    noEndBelow_ = noEndBelow_ > offset_ ? noEndBelow_ - offset_ : 0;
    offset_ = 0;
}

std::size_t FrameBuffer::find(char c, std::size_t& nothingBelow) const {
    std::size_t from = std::max(offset_, nothingBelow);
    if (from < buffer_.size()) {
        const char* hit = findByte(buffer_.data() + from, buffer_.data() + buffer_.size(), c);
        if (hit) return static_cast<std::size_t>(hit - buffer_.data());
    }
    nothingBelow = buffer_.size();
    return std::string::npos;
}

void FrameBuffer::dropInFrontOfStart() {
    if (offset_ < buffer_.size() && buffer_[offset_] == wire::kStart) return; // the usual case
    std::size_t s = find(wire::kStart, noStartBelow_);
    if (s != std::string::npos && s > offset_) offset_ = s;
}

// The next end character. Where the message is a whole one within the next 64 bytes (the
// usual case) one pass over them finds its end and tells that no start character lies in
// front of it: the first control character after the frame's own first one is its end.
std::size_t FrameBuffer::findEnd(bool& mayHoldStart) const {
    static_assert(wire::kStart < wire::kEnd);
    mayHoldStart = true;
    if (noEndBelow_ <= offset_ && buffer_.size() - offset_ >= 64) {
        const char* const from = buffer_.data() + offset_;
        // The first character counts only when it is an end character (an empty message).
        const uint64_t controls =
            bytesUpToIn64(from, static_cast<unsigned char>(wire::kEnd)) & ~uint64_t{from[0] != wire::kEnd};
        if (controls != 0) {
            const auto first = static_cast<std::size_t>(std::countr_zero(controls));
            if (from[first] == wire::kEnd) {
                mayHoldStart = false;
                return offset_ + first;
            }
        }
    }
    return find(wire::kEnd, noEndBelow_);
}

bool FrameBuffer::take(std::size_t& start, std::size_t& length, bool& mayHoldStart) {
    std::size_t e = findEnd(mayHoldStart);
    if (e == std::string::npos) return false;
    // The first character (normally the start character) is not part of the message.
    start = offset_ + 1;
    length = e > start ? e - start : 0;
    offset_ = e + 1;
    dropInFrontOfStart();
    return true;
}

bool FrameBuffer::next(std::string_view& message) {
    bool mayHoldStart = true;
    return next(message, mayHoldStart);
}

bool FrameBuffer::next(std::string_view& message, bool& mayHoldStart) {
    std::size_t start = 0, length = 0;
    if (!take(start, length, mayHoldStart)) return false;
    message = length == 0 ? std::string_view{} : std::string_view(buffer_.data() + start, length);
    viewsOut_ = true;
    return true;
}

bool FrameBuffer::next(std::string& message) {
    std::size_t start = 0, length = 0;
    bool mayHoldStart = true;
    if (!take(start, length, mayHoldStart)) return false;
    message.assign(buffer_, start, length);
    return true;
}

void FrameBuffer::compact() {
    retired_.clear();
    viewsOut_ = false;
    if (offset_ == 0) return;
    if (buffer_.capacity() > kKeptCapacity) {
        std::string smaller;
        smaller.reserve(std::max(kMinimumCapacity, buffer_.size() - offset_));
        smaller.append(buffer_, offset_);
        buffer_.swap(smaller);
    } else {
        buffer_.erase(0, offset_);
    }
    noStartBelow_ = noStartBelow_ > offset_ ? noStartBelow_ - offset_ : 0;
    noEndBelow_ = noEndBelow_ > offset_ ? noEndBelow_ - offset_ : 0;
    offset_ = 0;
}

void FrameBuffer::discardPending() {
    offset_ = buffer_.size();
}

void FrameBuffer::clear() {
    buffer_.clear();
    retired_.clear();
    viewsOut_ = false;
    offset_ = noStartBelow_ = noEndBelow_ = 0;
}

} // namespace kavex
