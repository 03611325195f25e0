#include "pack/ec_key_der.h"

#include <algorithm>

namespace tessel::pack {
namespace {

constexpr unsigned char kInteger = 0x02;
constexpr unsigned char kBitString = 0x03;
constexpr unsigned char kOctetString = 0x04;
constexpr unsigned char kObjectId = 0x06;
constexpr unsigned char kSequence = 0x30;
constexpr unsigned char kExplicit0 = 0xA0;
constexpr unsigned char kExplicit1 = 0xA1;

// id-ecPublicKey (1.2.840.10045.2.1) and prime256v1 (1.2.840.10045.3.1.7), encoded.
constexpr std::string_view kEcPublicKeyOid("\x2a\x86\x48\xce\x3d\x02\x01", 7);
constexpr std::string_view kP256Oid("\x2a\x86\x48\xce\x3d\x03\x01\x07", 8);
// A BIT STRING's count of unused bits (none), then the uncompressed-point marker.
constexpr std::string_view kPointPrefix("\x00\x04", 2);

// Reads one element after another from DER bytes. Every length is DER's shortest, at most two bytes long
// (no shape read here comes near 64 KiB), and within the bytes left.
class DerReader {
public:
    explicit DerReader(std::string_view bytes) : rest_(bytes) {}

    bool AtEnd() const { return rest_.empty(); }
    bool NextIs(unsigned char tag) const { return !rest_.empty() && static_cast<unsigned char>(rest_[0]) == tag; }

    // The contents of the next element when it has this tag.
    std::optional<std::string_view> Read(unsigned char tag) {
        if (!NextIs(tag) || rest_.size() < 2) return std::nullopt;
        const auto first = static_cast<unsigned char>(rest_[1]);
        std::size_t header = 2;
        std::size_t length = first;
        if (first == 0x81) {
            if (rest_.size() < 3) return std::nullopt;
            length = static_cast<unsigned char>(rest_[2]);
            if (length < 0x80) return std::nullopt;
            header = 3;
        } else if (first == 0x82) {
            if (rest_.size() < 4) return std::nullopt;
            length = static_cast<std::size_t>(static_cast<unsigned char>(rest_[2])) << 8 |
                     static_cast<unsigned char>(rest_[3]);
            if (length < 0x100) return std::nullopt;
            header = 4;
        } else if (first >= 0x80) {
            return std::nullopt;
        }
        if (rest_.size() - header < length) return std::nullopt;
        const std::string_view contents = rest_.substr(header, length);
        rest_.remove_prefix(header + length);
        return contents;
    }

    // The contents of the next element, which must be the only one left.
    std::optional<std::string_view> ReadLast(unsigned char tag) {
        const std::optional<std::string_view> contents = Read(tag);
        return contents && AtEnd() ? contents : std::nullopt;
    }

private:
    std::string_view rest_;
};

std::string Element(unsigned char tag, std::string_view contents) {
    std::string out(1, static_cast<char>(tag));
    const std::size_t length = contents.size();
    if (length >= 0x100) {
        out += '\x82';
        out += static_cast<char>(length >> 8);
    } else if (length >= 0x80) {
        out += '\x81';
    }
    out += static_cast<char>(length & 0xFF);
    out += contents;
    return out;
}

template <std::size_t N>
std::string_view Bytes(const std::array<unsigned char, N>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), N};
}

template <std::size_t N>
void CopyTo(std::string_view from, std::array<unsigned char, N>& to) {
    std::copy(from.begin(), from.end(), to.begin());
}

std::string P256AlgorithmIdentifier() {
    return Element(kSequence, Element(kObjectId, kEcPublicKeyOid) + Element(kObjectId, kP256Oid));
}

bool IsP256AlgorithmIdentifier(std::string_view contents) {
    DerReader reader(contents);
    return reader.Read(kObjectId) == kEcPublicKeyOid && reader.ReadLast(kObjectId) == kP256Oid;
}

// The point of a BIT STRING's contents that hold an uncompressed P-256 point.
std::optional<P256Point> PointOf(std::optional<std::string_view> bitString) {
    if (!bitString || bitString->size() != kPointPrefix.size() + 2 * kP256Bytes ||
        !bitString->starts_with(kPointPrefix)) {
        return std::nullopt;
    }
    P256Point point{};
    CopyTo(bitString->substr(kPointPrefix.size()), point);
    return point;
}

// An ECPrivateKey (version 1, a 32-byte secret, the curve unless the wrapping names it, the public point).
std::optional<P256PrivateKey> ReadEcPrivateKey(std::string_view der, bool curveRequired) {
    DerReader outer(der);
    const std::optional<std::string_view> body = outer.ReadLast(kSequence);
    if (!body) return std::nullopt;
    DerReader reader(*body);
    if (reader.Read(kInteger) != std::string_view("\x01", 1)) return std::nullopt;
    const std::optional<std::string_view> secret = reader.Read(kOctetString);
    if (!secret || secret->size() != kP256Bytes) return std::nullopt;
    if (reader.NextIs(kExplicit0)) {
        const std::optional<std::string_view> parameters = reader.Read(kExplicit0);
        if (!parameters || DerReader(*parameters).ReadLast(kObjectId) != kP256Oid) return std::nullopt;
    } else if (curveRequired) {
        return std::nullopt;
    }
    const std::optional<std::string_view> publicKey = reader.ReadLast(kExplicit1);
    if (!publicKey) return std::nullopt;
    const std::optional<P256Point> point = PointOf(DerReader(*publicKey).ReadLast(kBitString));
    if (!point) return std::nullopt;
    P256PrivateKey key;
    CopyTo(*secret, key.secret);
    key.publicPoint = *point;
    return key;
}

// A positive INTEGER's contents as a 32-byte big-endian number: no sign byte beyond the one needed, not zero.
bool ReadUnsigned(std::optional<std::string_view> contents, unsigned char* to) {
    if (!contents || contents->empty()) return false;
    std::string_view digits = *contents;
    if (static_cast<unsigned char>(digits[0]) & 0x80) return false;
    if (digits[0] == '\0') {
        if (digits.size() == 1 || !(static_cast<unsigned char>(digits[1]) & 0x80)) return false;
        digits.remove_prefix(1);
    }
    if (digits.size() > kP256Bytes) return false;
    std::fill(to, to + kP256Bytes - digits.size(), 0);
    std::copy(digits.begin(), digits.end(), to + kP256Bytes - digits.size());
    return true;
}

std::string UnsignedElement(std::string_view number) {
    const std::size_t first = std::min(number.find_first_not_of('\0'), number.size() - 1);
    std::string digits(number.substr(first));
    if (static_cast<unsigned char>(digits[0]) & 0x80) digits.insert(digits.begin(), '\0');
    return Element(kInteger, digits);
}

}  // namespace

std::optional<P256Point> ReadP256PublicKeyInfo(std::string_view der) {
    DerReader outer(der);
    const std::optional<std::string_view> body = outer.ReadLast(kSequence);
    if (!body) return std::nullopt;
    DerReader reader(*body);
    const std::optional<std::string_view> algorithm = reader.Read(kSequence);
    if (!algorithm || !IsP256AlgorithmIdentifier(*algorithm)) return std::nullopt;
    return PointOf(reader.ReadLast(kBitString));
}

std::string WriteP256PublicKeyInfo(const P256Point& point) {
    return Element(kSequence, P256AlgorithmIdentifier() +
                                  Element(kBitString, std::string(kPointPrefix) + std::string(Bytes(point))));
}

std::optional<P256PrivateKey> ReadP256PrivateKeyInfo(std::string_view der) {
    DerReader outer(der);
    const std::optional<std::string_view> body = outer.ReadLast(kSequence);
    if (!body) return std::nullopt;
    DerReader reader(*body);
    if (reader.Read(kInteger) != std::string_view("\x00", 1)) return std::nullopt;
    const std::optional<std::string_view> algorithm = reader.Read(kSequence);
    if (!algorithm || !IsP256AlgorithmIdentifier(*algorithm)) return std::nullopt;
    const std::optional<std::string_view> privateKey = reader.ReadLast(kOctetString);
    if (!privateKey) return std::nullopt;
    return ReadEcPrivateKey(*privateKey, false);
}

std::optional<P256PrivateKey> ReadP256EcPrivateKey(std::string_view der) { return ReadEcPrivateKey(der, true); }

std::string WriteP256PrivateKeyInfo(const P256PrivateKey& key) {
    // As openssl writes it: the curve named once, outside; the public point inside.
    const std::string ecPrivateKey =
        Element(kSequence, Element(kInteger, std::string_view("\x01", 1)) +
                               Element(kOctetString, Bytes(key.secret)) +
                               Element(kExplicit1, Element(kBitString, std::string(kPointPrefix) +
                                                                           std::string(Bytes(key.publicPoint)))));
    return Element(kSequence, Element(kInteger, std::string_view("\x00", 1)) + P256AlgorithmIdentifier() +
                                  Element(kOctetString, ecPrivateKey));
}

std::optional<P256RawSignature> ReadEcdsaSignature(std::string_view der) {
    DerReader outer(der);
    const std::optional<std::string_view> body = outer.ReadLast(kSequence);
    if (!body) return std::nullopt;
    DerReader reader(*body);
    P256RawSignature raw{};
    if (!ReadUnsigned(reader.Read(kInteger), raw.data()) ||
        !ReadUnsigned(reader.ReadLast(kInteger), raw.data() + kP256Bytes)) {
        return std::nullopt;
    }
    return raw;
}

std::string WriteEcdsaSignature(const P256RawSignature& raw) {
    const std::string_view bytes = Bytes(raw);
    return Element(kSequence, UnsignedElement(bytes.substr(0, kP256Bytes)) + UnsignedElement(bytes.substr(kP256Bytes)));
}

}  // namespace tessel::pack
