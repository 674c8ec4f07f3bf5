#include "bridgejvm/Wire.h"

#include <cstring>

namespace bridgejvm {

Writer& Writer::u8(std::uint8_t value) {
    bytes_.push_back(static_cast<char>(value));
    return *this;
}

Writer& Writer::u16(std::uint16_t value) {
    u8(static_cast<std::uint8_t>(value >> 8));
    return u8(static_cast<std::uint8_t>(value));
}

Writer& Writer::i32(std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) u8(static_cast<std::uint8_t>(bits >> shift));
    return *this;
}

Writer& Writer::i64(std::int64_t value) {
    auto bits = static_cast<std::uint64_t>(value);
    for (int shift = 56; shift >= 0; shift -= 8) u8(static_cast<std::uint8_t>(bits >> shift));
    return *this;
}

Writer& Writer::f32(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return i32(static_cast<std::int32_t>(bits));
}

Writer& Writer::f64(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return i64(static_cast<std::int64_t>(bits));
}

Writer& Writer::blob(std::string_view bytes) {
    i32(static_cast<std::int32_t>(bytes.size()));
    bytes_.append(bytes);
    return *this;
}

Writer& Writer::nullBlob() { return i32(-1); }

std::uint64_t Reader::bigEndian(int size) {
    if (at_ + static_cast<std::size_t>(size) > bytes_.size()) {
        ok_ = false;
        at_ = bytes_.size();
        return 0;
    }
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) value = (value << 8) | static_cast<unsigned char>(bytes_[at_++]);
    return value;
}

std::uint8_t Reader::u8() { return static_cast<std::uint8_t>(bigEndian(1)); }
std::uint16_t Reader::u16() { return static_cast<std::uint16_t>(bigEndian(2)); }
std::int32_t Reader::i32() { return static_cast<std::int32_t>(static_cast<std::uint32_t>(bigEndian(4))); }
std::int64_t Reader::i64() { return static_cast<std::int64_t>(bigEndian(8)); }

float Reader::f32() {
    auto bits = static_cast<std::uint32_t>(bigEndian(4));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double Reader::f64() {
    std::uint64_t bits = bigEndian(8);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool Reader::blob(std::string& out) {
    out.clear();
    std::int32_t length = i32();
    if (length < 0 || !ok_) return false;
    if (at_ + static_cast<std::size_t>(length) > bytes_.size()) {
        ok_ = false;
        at_ = bytes_.size();
        return false;
    }
    out.assign(bytes_, at_, static_cast<std::size_t>(length));
    at_ += static_cast<std::size_t>(length);
    return true;
}

bool sendAll(SOCKET socket, const char* data, std::size_t size) {
    while (size > 0) {
        int chunk = size > 1 << 30 ? 1 << 30 : static_cast<int>(size);
        int sent = send(socket, data, chunk, 0);
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

namespace {

bool receiveAll(SOCKET socket, char* data, std::size_t size) {
    while (size > 0) {
        int chunk = size > 1 << 30 ? 1 << 30 : static_cast<int>(size);
        int received = recv(socket, data, chunk, 0);
        if (received <= 0) return false;
        data += received;
        size -= static_cast<std::size_t>(received);
    }
    return true;
}

}  // namespace

bool sendFrame(SOCKET socket, const std::string& frame) {
    std::string whole;
    whole.reserve(frame.size() + 4);
    auto length = static_cast<std::uint32_t>(frame.size());
    for (int shift = 24; shift >= 0; shift -= 8) whole.push_back(static_cast<char>(length >> shift));
    whole += frame;
    return sendAll(socket, whole.data(), whole.size());
}

bool receiveFrame(SOCKET socket, std::string& frame) {
    unsigned char header[4];
    if (!receiveAll(socket, reinterpret_cast<char*>(header), sizeof header)) return false;
    std::uint32_t length = (std::uint32_t{header[0]} << 24) | (std::uint32_t{header[1]} << 16) |
                           (std::uint32_t{header[2]} << 8) | header[3];
    if (length == 0 || length > (64u << 20)) return false;
    frame.resize(length);
    return receiveAll(socket, frame.data(), length);
}

bool receiveLine(SOCKET socket, std::string& line, std::size_t maxLength) {
    line.clear();
    for (;;) {
        char c;
        if (recv(socket, &c, 1, 0) != 1) return false;
        if (c == '\n') return true;
        if (line.size() >= maxLength) return false;
        line.push_back(c);
    }
}

}  // namespace bridgejvm
