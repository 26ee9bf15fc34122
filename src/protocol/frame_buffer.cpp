#include "protocol/frame_buffer.h"

#include "base/cp1252.h"
#include "protocol/wire.h"

#include <algorithm>
#include <cstring>

namespace kavex {

void FrameBuffer::append(std::string_view wireBytes) {
    cp1252::appendUtf8(wireBytes, buffer_);
    dropInFrontOfStart();
}

std::size_t FrameBuffer::find(char c, std::size_t& nothingBelow) const {
    std::size_t from = std::max(offset_, nothingBelow);
    if (from < buffer_.size()) {
        const void* hit = std::memchr(buffer_.data() + from, c, buffer_.size() - from);
        if (hit) return static_cast<std::size_t>(static_cast<const char*>(hit) - buffer_.data());
    }
    nothingBelow = buffer_.size();
    return std::string::npos;
}

void FrameBuffer::dropInFrontOfStart() {
    if (offset_ < buffer_.size() && buffer_[offset_] == wire::kStart) return; // the usual case
    std::size_t s = find(wire::kStart, noStartBelow_);
    if (s != std::string::npos && s > offset_) offset_ = s;
}

bool FrameBuffer::next(std::string& message) {
    std::size_t e = find(wire::kEnd, noEndBelow_);
    if (e == std::string::npos) return false;
    // The first character (normally the start character) is not part of the message.
    if (e > offset_ + 1)
        message.assign(buffer_, offset_ + 1, e - offset_ - 1);
    else
        message.clear();
    offset_ = e + 1;
    dropInFrontOfStart();
    return true;
}

void FrameBuffer::compact() {
    if (offset_ == 0) return;
    buffer_.erase(0, offset_);
    noStartBelow_ = noStartBelow_ > offset_ ? noStartBelow_ - offset_ : 0;
    noEndBelow_ = noEndBelow_ > offset_ ? noEndBelow_ - offset_ : 0;
    offset_ = 0;
}

void FrameBuffer::clear() {
    buffer_.clear();
    offset_ = noStartBelow_ = noEndBelow_ = 0;
}

} // namespace kavex
