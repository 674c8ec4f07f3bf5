#include "stamp/VersionResource.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kFixedSignature = 0xfeef04bd;
constexpr std::uint32_t kFixedStructVersion = 0x00010000;
constexpr std::size_t kFixedSize = 52;
constexpr std::uint16_t kBinary = 0;
constexpr std::uint16_t kText = 1;

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads a version from the start of text; whole: all of text must be one.
ParsedVersion readVersion(std::u16string_view text, bool whole) {
    ParsedVersion result;
    if (text.empty() || !isDigit(text[0])) {
        if (whole) result.error = text.empty() ? "it is empty" : "only numbers and dots may be used";
        return result;
    }
    result.found = true;
    std::size_t at = 0;
    for (std::size_t part = 0;; ++part) {
        if (part == result.number.size()) {
            result.error = "it has more than four numbers";
            return result;
        }
        if (at == text.size() || !isDigit(text[at])) {
            result.error = "a number is missing";
            return result;
        }
        std::uint32_t value = 0;
        for (; at < text.size() && isDigit(text[at]); ++at) {
            value = value * 10 + static_cast<std::uint32_t>(text[at] - u'0');
            if (value > 0xffff) {
                result.error = "a number is larger than 65535";
                return result;
            }
        }
        result.number[part] = static_cast<std::uint16_t>(value);
        if (at == text.size() || text[at] != u'.') break;
        // In free text a dot that no digit follows ends the sentence, not
        // the version.
        if (!whole && (at + 1 == text.size() || !isDigit(text[at + 1]))) break;
        ++at;
    }
    if (whole && at != text.size()) result.error = "only numbers and dots may be used";
    return result;
}

// Writes the nodes of the resource: a header (length, value length, type),
// the key, the value and the children, each of the three aligned to 32
// bits from the start of the resource.
class NodeWriter {
public:
    std::size_t begin(std::u16string_view key, std::uint16_t type) {
        align();
        std::size_t start = out_.size();
        appendU16(out_, 0);
        appendU16(out_, 0);
        appendU16(out_, type);
        appendText(key);
        align();
        return start;
    }
    void end(std::size_t start, std::uint16_t valueLength) {
        std::size_t length = out_.size() - start;
        if (length > 0xffff) tooLong_ = true;
        writeU16(out_.data() + start, static_cast<std::uint16_t>(length));
        writeU16(out_.data() + start + 2, valueLength);
    }
    void appendText(std::u16string_view text) {
        for (char16_t c : text) appendU16(out_, c);
        appendU16(out_, 0);
    }
    Bytes& out() { return out_; }
    bool tooLong() const { return tooLong_; }

private:
    void align() {
        while (out_.size() % 4 != 0) out_.push_back(0);
    }

    Bytes out_;
    bool tooLong_ = false;
};

std::u16string hex4(std::uint16_t value) {
    static const char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text;
    for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xf];
    return text;
}

// A node read back: its key, type and value, and where its children lie.
struct Node {
    std::u16string key;
    std::uint16_t type = 0;
    std::size_t valueBegin = 0;
    std::size_t valueLength = 0;  // as written: characters for text, bytes otherwise
    std::size_t childrenBegin = 0;
    std::size_t end = 0;
};

std::size_t aligned(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

bool readNode(const std::uint8_t* data, std::size_t limit, std::size_t offset, Node& node) {
    if (offset > limit || limit - offset < 6) return false;
    std::size_t length = readU16(data + offset);
    if (length < 6 || length > limit - offset) return false;
    node = {};
    node.end = offset + length;
    node.valueLength = readU16(data + offset + 2);
    node.type = readU16(data + offset + 4);
    std::size_t at = offset + 6;
    for (;; at += 2) {
        if (node.end - at < 2) return false;
        char16_t c = readU16(data + at);
        if (c == 0) break;
        node.key += c;
    }
    node.valueBegin = std::min(aligned(at + 2), node.end);
    std::size_t valueBytes = node.type == kText ? node.valueLength * 2 : node.valueLength;
    node.childrenBegin =
        std::min(aligned(node.valueBegin + std::min(valueBytes, node.end - node.valueBegin)), node.end);
    return true;
}

// Calls visit for each child of parent; stops at the first that is broken.
template <typename Visit>
void forEachChild(const std::uint8_t* data, const Node& parent, Visit visit) {
    Node child;
    for (std::size_t at = parent.childrenBegin; readNode(data, parent.end, at, child); at = aligned(child.end))
        visit(child);
}

std::u16string textValue(const std::uint8_t* data, const Node& node) {
    std::u16string text;
    for (std::size_t at = node.valueBegin; node.end - at >= 2; at += 2) {
        char16_t c = readU16(data + at);
        if (c == 0) break;
        text += c;
    }
    return text;
}

bool parseHex4(std::u16string_view text, std::uint16_t& value) {
    value = 0;
    for (char16_t c : text) {
        int digit = c >= u'0' && c <= u'9'   ? c - u'0'
                    : c >= u'a' && c <= u'f' ? c - u'a' + 10
                    : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                             : -1;
        if (digit < 0) return false;
        value = static_cast<std::uint16_t>(value * 16 + digit);
    }
    return text.size() == 4;
}

std::uint32_t highPart(const VersionNumber& number) { return std::uint32_t{number[0]} << 16 | number[1]; }
std::uint32_t lowPart(const VersionNumber& number) { return std::uint32_t{number[2]} << 16 | number[3]; }

VersionNumber versionFrom(std::uint32_t high, std::uint32_t low) {
    return {static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high),
            static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low)};
}

}  // namespace

ParsedVersion parseVersionNumber(std::u16string_view text) { return readVersion(text, true); }

ParsedVersion leadingVersionNumber(std::u16string_view text) { return readVersion(text, false); }

std::u16string versionText(const VersionNumber& number) {
    std::u16string text;
    for (std::size_t i = 0; i < number.size(); ++i) {
        if (i) text += u'.';
        std::string digits = std::to_string(number[i]);
        text.append(digits.begin(), digits.end());
    }
    return text;
}

std::u16string VersionInfo::string(std::u16string_view name) const {
    for (const auto& [key, value] : strings)
        if (key == name) return value;
    return {};
}

void VersionInfo::setString(std::u16string_view name, std::u16string_view value) {
    for (auto& [key, existing] : strings)
        if (key == name) {
            existing = value;
            return;
        }
    strings.emplace_back(name, value);
}

Bytes encodeVersionInfo(const VersionInfo& info) {
    NodeWriter writer;
    std::size_t root = writer.begin(u"VS_VERSION_INFO", kBinary);
    const FixedVersionInfo& fixed = info.fixed;
    Bytes& out = writer.out();
    for (std::uint32_t value :
         {kFixedSignature, kFixedStructVersion, highPart(fixed.fileVersion), lowPart(fixed.fileVersion),
          highPart(fixed.productVersion), lowPart(fixed.productVersion), fixed.flagsMask, fixed.flags, fixed.os,
          fixed.type, fixed.subtype, fixed.dateHigh, fixed.dateLow})
        appendU32(out, value);

    std::size_t stringInfo = writer.begin(u"StringFileInfo", kText);
    std::size_t table = writer.begin(hex4(info.language) + hex4(info.codePage), kText);
    for (const auto& [name, value] : info.strings) {
        std::size_t string = writer.begin(name, kText);
        writer.appendText(value);
        if (value.size() + 1 > 0xffff) return {};
        writer.end(string, static_cast<std::uint16_t>(value.size() + 1));
    }
    writer.end(table, 0);
    writer.end(stringInfo, 0);

    std::size_t varInfo = writer.begin(u"VarFileInfo", kText);
    std::size_t translation = writer.begin(u"Translation", kBinary);
    appendU16(out, info.language);
    appendU16(out, info.codePage);
    writer.end(translation, 4);
    writer.end(varInfo, 0);
    writer.end(root, static_cast<std::uint16_t>(kFixedSize));
    if (writer.tooLong()) return {};
    return std::move(out);
}

bool parseVersionInfo(const std::uint8_t* data, std::size_t size, VersionInfo& info) {
    Node root;
    if (!readNode(data, size, 0, root) || root.key != u"VS_VERSION_INFO") return false;
    info = {};
    if (root.valueLength >= kFixedSize && root.end - root.valueBegin >= kFixedSize &&
        readU32(data + root.valueBegin) == kFixedSignature) {
        const std::uint8_t* fixed = data + root.valueBegin;
        FixedVersionInfo& out = info.fixed;
        out.fileVersion = versionFrom(readU32(fixed + 8), readU32(fixed + 12));
        out.productVersion = versionFrom(readU32(fixed + 16), readU32(fixed + 20));
        out.flagsMask = readU32(fixed + 24);
        out.flags = readU32(fixed + 28);
        out.os = readU32(fixed + 32);
        out.type = readU32(fixed + 36);
        out.subtype = readU32(fixed + 40);
        out.dateHigh = readU32(fixed + 44);
        out.dateLow = readU32(fixed + 48);
    }
    bool tableRead = false;
    forEachChild(data, root, [&](const Node& block) {
        if (block.key != u"StringFileInfo") return;
        forEachChild(data, block, [&](const Node& table) {
            if (tableRead) return;
            tableRead = true;
            std::uint16_t language, codePage;
            if (table.key.size() == 8 && parseHex4(std::u16string_view(table.key).substr(0, 4), language) &&
                parseHex4(std::u16string_view(table.key).substr(4), codePage)) {
                info.language = language;
                info.codePage = codePage;
            }
            forEachChild(data, table, [&](const Node& string) { info.setString(string.key, textValue(data, string)); });
        });
    });
    return true;
}
