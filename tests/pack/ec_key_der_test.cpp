// The PEM and DER shapes of P-256 keys and signatures, on openssl's own files: what openssl writes reads and
// writes back byte for byte; what is not exactly such a key or signature (another curve, a compressed point,
// a cut, a longer length than needed, a byte too many, a negative or oversized number) is refused.
#include <gtest/gtest.h>

#include "openssl_made_keys.h"
#include "pack/ec_key_der.h"
#include "pack/package_crypto.h"
#include "pack/pem.h"

namespace tessel::pack::test {
namespace {

std::string Der(std::string_view pem, std::string_view label) {
    const std::optional<std::string> der = PemContents(pem, label);
    EXPECT_TRUE(der) << "no " << label << " in\n" << pem;
    return der.value_or("");
}

TEST(EcKeyDer, OpensslKeysReadAndWriteBackByteForByte) {
    const std::string publicDer = Der(kOpensslPublicKey, "PUBLIC KEY");
    const std::optional<P256Point> point = ReadP256PublicKeyInfo(publicDer);
    ASSERT_TRUE(point);
    EXPECT_EQ(WriteP256PublicKeyInfo(*point), publicDer);
    EXPECT_EQ(PemText("PUBLIC KEY", publicDer), kOpensslPublicKey);

    const std::string privateDer = Der(kOpensslPrivateKey, "PRIVATE KEY");
    const std::optional<P256PrivateKey> key = ReadP256PrivateKeyInfo(privateDer);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->publicPoint, *point);
    EXPECT_EQ(WriteP256PrivateKeyInfo(*key), privateDer);
    EXPECT_EQ(PemText("PRIVATE KEY", privateDer), kOpensslPrivateKey);

    // The same key in an "EC PRIVATE KEY" file, which names the curve inside.
    const std::optional<P256PrivateKey> ecKey = ReadP256EcPrivateKey(Der(kOpensslEcPrivateKey, "EC PRIVATE KEY"));
    ASSERT_TRUE(ecKey);
    EXPECT_EQ(ecKey->secret, key->secret);
    EXPECT_EQ(ecKey->publicPoint, key->publicPoint);
    // Each shape is only read where it belongs.
    EXPECT_FALSE(ReadP256PrivateKeyInfo(Der(kOpensslEcPrivateKey, "EC PRIVATE KEY")));
    EXPECT_FALSE(ReadP256EcPrivateKey(privateDer));
    EXPECT_FALSE(ReadP256PublicKeyInfo(privateDer));
    EXPECT_FALSE(ReadP256PrivateKeyInfo(publicDer));
}

TEST(EcKeyDer, OtherCurvesCompressedPointsAndKeysWithoutTheirPointAreRefused) {
    EXPECT_FALSE(ReadP256PublicKeyInfo(Der(kOpensslP384PublicKey, "PUBLIC KEY")));
    EXPECT_FALSE(ReadP256PublicKeyInfo(Der(kOpensslCompressedPublicKey, "PUBLIC KEY")));

    // An ECPrivateKey without its public point: CNG needs the point, which openssl always writes.
    P256PrivateKey key{};
    key.secret.fill(0x11);
    const std::string withPoint = WriteP256PrivateKeyInfo(key);
    ASSERT_TRUE(ReadP256PrivateKeyInfo(withPoint));
    const std::string algorithm = withPoint.substr(6, 21);  // after 30 81 87 02 01 00
    const std::string ecPrivateKey = std::string("\x30\x25\x02\x01\x01\x04\x20", 7) + std::string(32, '\x11');
    const std::string der = std::string("\x30\x41\x02\x01\x00", 5) + algorithm + "\x04\x27" + ecPrivateKey;
    EXPECT_FALSE(ReadP256PrivateKeyInfo(der));
}

TEST(EcKeyDer, OpensslSignaturesReadAndWriteBackWithTheirNumbers) {
    for (const std::string_view signature : {kOpensslSignature, kOpensslShortSignature}) {
        const std::optional<P256RawSignature> raw = ReadEcdsaSignature(signature);
        ASSERT_TRUE(raw);
        EXPECT_EQ(WriteEcdsaSignature(*raw), signature);
    }
    // The 31-byte s is right-aligned: a zero first byte, then its bytes.
    const std::optional<P256RawSignature> shortS = ReadEcdsaSignature(kOpensslShortSignature);
    ASSERT_TRUE(shortS);
    EXPECT_EQ((*shortS)[0], 0x18);
    EXPECT_EQ((*shortS)[32], 0x00);
    EXPECT_EQ((*shortS)[33], 0x21);
    EXPECT_EQ((*shortS)[63], 0xab);

    // Numbers with their first bit set get a sign byte; leading zero bytes go.
    P256RawSignature raw{};
    raw.fill(0xff);
    std::fill(raw.begin() + 32, raw.begin() + 62, 0);
    const std::string written = WriteEcdsaSignature(raw);
    EXPECT_EQ(written.substr(0, 5), std::string("\x30\x28\x02\x21\x00", 5));
    EXPECT_EQ(written.substr(37), std::string("\x02\x03\x00\xff\xff", 5));
    EXPECT_EQ(ReadEcdsaSignature(written), raw);
}

TEST(EcKeyDer, MalformedSignaturesAreRefused) {
    const std::string good(kOpensslSignature);
    ASSERT_TRUE(ReadEcdsaSignature(good));
    const std::string cases[] = {
        good + '\0',                                                        // a byte after the end
        good.substr(0, good.size() - 1),                                    // cut
        good.substr(0, 2),                                                  // only the header
        std::string("\x30\x81\x46", 3) + good.substr(2),                    // a long length form for 70
        std::string("\x30\x80", 2) + good.substr(2) + std::string(2, '\0'), // indefinite length
        std::string("\x31", 1) + good.substr(1),                            // a SET, not a SEQUENCE
        "",
    };
    for (const std::string& bad : cases) EXPECT_FALSE(ReadEcdsaSignature(bad)) << ::testing::PrintToString(bad);

    const auto withNumbers = [](std::string_view r, std::string_view s) {
        const std::string body = "\x02" + std::string(1, static_cast<char>(r.size())) + std::string(r) + "\x02" +
                                 std::string(1, static_cast<char>(s.size())) + std::string(s);
        return "\x30" + std::string(1, static_cast<char>(body.size())) + body;
    };
    const std::string one("\x01", 1);
    EXPECT_TRUE(ReadEcdsaSignature(withNumbers(one, one)));
    EXPECT_FALSE(ReadEcdsaSignature(withNumbers(std::string("\x80", 1), one)));      // negative
    EXPECT_FALSE(ReadEcdsaSignature(withNumbers(one, std::string("\x00\x01", 2))));  // a needless zero
    EXPECT_FALSE(ReadEcdsaSignature(withNumbers(std::string("\x00", 1), one)));      // zero
    EXPECT_FALSE(ReadEcdsaSignature(withNumbers(one, "")));                          // no digits
    EXPECT_FALSE(ReadEcdsaSignature(withNumbers(std::string(33, '\x01'), one)));     // 33 bytes
    EXPECT_TRUE(ReadEcdsaSignature(withNumbers(std::string(1, '\0') + std::string(32, '\xff'), one)));
    EXPECT_FALSE(ReadEcdsaSignature(withNumbers(std::string("\x01", 1) + std::string(32, '\xff'), one)));
    EXPECT_FALSE(ReadEcdsaSignature(withNumbers(std::string(2, '\0') + std::string(32, '\xff'), one)));
}

TEST(Pem, ReadsTheLabelledBlockOnlyWhenWholeAndPlain) {
    const std::string der = Der(kOpensslPublicKey, "PUBLIC KEY");
    std::string crlf;
    for (const char c : kOpensslPublicKey) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(PemContents(crlf, "PUBLIC KEY"), der);
    EXPECT_EQ(PemContents("a comment first\n" + std::string(kOpensslPublicKey), "PUBLIC KEY"), der);
    // The last line needs no line feed.
    EXPECT_EQ(PemContents(std::string(kOpensslPublicKey).substr(0, kOpensslPublicKey.size() - 1), "PUBLIC KEY"),
              der);

    EXPECT_FALSE(PemContents(kOpensslPublicKey, "PRIVATE KEY"));
    EXPECT_FALSE(PemContents(kOpensslEncryptedKey, "PRIVATE KEY"));
    const std::string text(kOpensslPublicKey);
    EXPECT_FALSE(PemContents(text.substr(0, text.find("-----END")), "PUBLIC KEY"));
    const std::string withHeader = "-----BEGIN PUBLIC KEY-----\nProc-Type: 4,ENCRYPTED\n" +
                                   text.substr(text.find('\n') + 1);
    EXPECT_FALSE(PemContents(withHeader, "PUBLIC KEY"));
    std::string damaged = text;
    damaged[40] = '*';
    EXPECT_FALSE(PemContents(damaged, "PUBLIC KEY"));
    EXPECT_FALSE(PemContents("-----BEGIN PUBLIC KEY-----\n-----END PUBLIC KEY-----\n", "PUBLIC KEY"));

    // A key file is a few hundred bytes: a larger text is not read at all.
    const std::string padded = std::string(kMaxKeyFileBytes - text.size(), '\n') + text;
    EXPECT_EQ(PemContents(padded, "PUBLIC KEY"), der);
    EXPECT_FALSE(PemContents("\n" + padded, "PUBLIC KEY"));
}

}  // namespace
}  // namespace tessel::pack::test
