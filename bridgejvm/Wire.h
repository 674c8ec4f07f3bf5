#pragma once
// Encoding of frames (big-endian, as Java's DataInput reads them) and their
// transfer over a socket.

#include <winsock2.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace bridgejvm {

class Writer {
public:
    explicit Writer(std::uint8_t type) { u8(type); }
    Writer& u8(std::uint8_t value);
    Writer& u16(std::uint16_t value);
    Writer& i32(std::int32_t value);
    Writer& i64(std::int64_t value);
    Writer& f32(float value);
    Writer& f64(double value);
    // A length-prefixed byte string.
    Writer& blob(std::string_view bytes);
    Writer& nullBlob();
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Reads a frame's payload. Reads past the end give zero and clear ok():
// a reply cut short by a Java exception carries no result.
class Reader {
public:
    Reader() = default;
    explicit Reader(std::string bytes, std::size_t start = 0) : bytes_(std::move(bytes)), at_(start) {}
    std::uint8_t u8();
    std::uint16_t u16();
    std::int32_t i32();
    std::int64_t i64();
    float f32();
    double f64();
    // A length-prefixed byte string; false for the null string.
    bool blob(std::string& out);
    bool ok() const { return ok_; }
    bool atEnd() const { return at_ >= bytes_.size(); }

private:
    std::uint64_t bigEndian(int size);
    std::string bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

// Sends one frame (length, then the bytes); false when the connection failed.
bool sendFrame(SOCKET socket, const std::string& frame);
// Receives one frame; false on end of connection or error.
bool receiveFrame(SOCKET socket, std::string& frame);

bool sendAll(SOCKET socket, const char* data, std::size_t size);
// Reads up to and without the next line feed; false when the connection ends
// first or the line is longer than maxLength.
bool receiveLine(SOCKET socket, std::string& line, std::size_t maxLength = 1024);

}  // namespace bridgejvm
