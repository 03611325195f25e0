// Signed packages in process: a package signed by a trusted key passes; every change after signing, another
// key, a cut signature file and a trusted-keys folder that holds no key are refused with the file or key
// named; the checked copy holds what was checked.
#include <gtest/gtest.h>

#include "pack/package_signing.h"
#include "pack/signed_package_gate.h"
#include "pack/verified_package.h"
#include "pack_fixture.h"
#include "platform/os/files.h"
#include "test_environment.h"

namespace tessel::pack::test {
namespace {

class PackageSignature : public PackFixture {
protected:
    void SetUp() override {
        PackFixture::SetUp();
        keys_ = work_ / "keys";
        trusted_ = work_ / "trusted";
        fs::create_directories(keys_);
        fs::create_directories(trusted_);
    }

    // A new key pair in keys/; the public key also in trusted/ when trust.
    fs::path MakeKey(const std::string& name, bool trust) {
        const std::vector<std::string> errors = WriteKeyPair((keys_ / name).string());
        EXPECT_TRUE(errors.empty()) << errors.front();
        if (trust) fs::copy_file(keys_ / (name + ".pub"), trusted_ / (name + ".pub"));
        return keys_ / (name + ".key");
    }

    void Sign(const fs::path& key) {
        const SignOutcome outcome = SignPackage(package_.string(), key.string());
        ASSERT_TRUE(outcome.done) << (outcome.errors.empty() ? "" : outcome.errors.front());
    }

    SignatureCheck Check(PackageScope scope = PackageScope::Whole) const {
        const TrustedKeys trusted = LoadTrustedKeys({trusted_.string(), true});
        return CheckPackageSignature(package_.string(), trusted, scope, nullptr, package_.string());
    }

    std::string SignatureFile() const { return ReadFileBytes(package_ / std::string(kSignatureFileName)); }

    fs::path keys_;
    fs::path trusted_;
};

::testing::AssertionResult RefusedFor(const SignatureCheck& check, const std::string& part) {
    if (check.verified) return ::testing::AssertionFailure() << "verified";
    if (check.failure.find(part) == std::string::npos) {
        return ::testing::AssertionFailure() << "the failure \"" << check.failure << "\" does not name " << part;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(PackageSignature, ASignedPackageVerifiesWithTheSignersName) {
    BuildGood();
    Sign(MakeKey("maker", true));
    const SignatureCheck check = Check();
    ASSERT_TRUE(check.verified) << check.failure;
    EXPECT_EQ(check.signer, "maker");
    ASSERT_TRUE(check.statement);
    // The management file, two listed files, two plain files and three firmware files.
    EXPECT_EQ(check.statement->files.size(), 8u);
    EXPECT_TRUE(check.statement->find("UpDateMng.txt"));
    // The signature file is no stray file for the package check.
    EXPECT_TRUE(PackFixture::Check().empty()) << FindingsText(PackFixture::Check());
}

TEST_F(PackageSignature, OneByteChangedInAnySignedFileIsRefusedNamingIt) {
    BuildGood();
    Sign(MakeKey("maker", true));
    const SignatureCheck good = Check();
    ASSERT_TRUE(good.statement);
    for (const StatementFile& file : good.statement->files) {
        const fs::path path = package_ / file.name;
        const std::string original = ReadFileBytes(path);
        std::string changed = original;
        changed[changed.size() / 2] = static_cast<char>(changed[changed.size() / 2] ^ 0x01);
        WriteFileBytes(path, changed);
        EXPECT_TRUE(RefusedFor(Check(), "changed after signing")) << file.name;
        WriteFileBytes(path, original + "x");
        EXPECT_TRUE(RefusedFor(Check(), "bytes, signed")) << file.name;
        WriteFileBytes(path, original);
    }
    EXPECT_TRUE(Check().verified);
}

TEST_F(PackageSignature, ARemovedOrAnAddedFileIsRefused) {
    BuildGood();
    const std::string image = ReadFileBytes(package_ / "kbteva.bin");
    fs::remove(package_ / "kbteva.bin");
    fs::remove(package_ / "prism3.dat");
    fs::remove(package_ / "GetSysVer.wcr");
    Sign(MakeKey("maker", true));
    EXPECT_TRUE(Check(PackageScope::Script).verified);
    // A firmware file put beside a package signed without one.
    WriteFileBytes(package_ / "kbteva.bin", image);
    EXPECT_TRUE(RefusedFor(Check(PackageScope::Whole), "kbteva.bin: the update reads it, but the signature"));
    EXPECT_TRUE(RefusedFor(Check(PackageScope::Firmware), "kbteva.bin: the update reads it"));
    fs::remove(package_ / "kbteva.bin");
    fs::remove(package_ / "spacer.gif");
    EXPECT_TRUE(RefusedFor(Check(PackageScope::Script), "spacer.gif: signed, but missing"));
}

TEST_F(PackageSignature, AnotherKeyOrNoSignatureIsRefused) {
    BuildGood();
    MakeKey("maker", true);
    EXPECT_TRUE(RefusedFor(Check(), "not signed: it has no UpDateMng.sig"));
    Sign(MakeKey("stranger", false));
    EXPECT_TRUE(RefusedFor(Check(), "signed by a key that is not trusted"));
    EXPECT_TRUE(RefusedFor(Check(), "\"stranger\""));
    // The stranger's statement claiming the trusted key's fingerprint does not pass either.
    const std::string trustedKey = LoadTrustedKeys({trusted_.string(), true}).keys.front().fingerprint;
    std::string text = SignatureFile();
    const std::size_t keyLine = text.find("# key: ") + 7;
    text.replace(keyLine, trustedKey.size(), trustedKey);
    WriteFileBytes(package_ / std::string(kSignatureFileName), text);
    EXPECT_TRUE(RefusedFor(Check(), "the signature does not match its statement"));
}

TEST_F(PackageSignature, ACutOrAlteredSignatureFileIsRefused) {
    BuildGood();
    Sign(MakeKey("maker", true));
    const std::string whole = SignatureFile();
    const fs::path path = package_ / std::string(kSignatureFileName);
    // Cut at every line and within the signature line.
    for (std::size_t length : {std::size_t{0}, std::size_t{10}, whole.find("# size"), whole.rfind('\n', whole.size() - 2) + 1,
                               whole.size() - 20, whole.size() - 1}) {
        WriteFileBytes(path, whole.substr(0, length));
        EXPECT_FALSE(Check().verified) << length;
    }
    // A whole line of base64 that is shorter: a truncated DER signature.
    std::string shorter = whole;
    shorter.erase(shorter.size() - 9, 8);
    WriteFileBytes(path, shorter);
    EXPECT_TRUE(RefusedFor(Check(), "UpDateMng.sig"));
    // A statement line changed (another size) with the signature kept.
    std::string altered = whole;
    altered.replace(altered.find("# size: ") + 8, 1, "9");
    WriteFileBytes(path, altered);
    EXPECT_TRUE(RefusedFor(Check(), "the signature does not match its statement"));
}

TEST_F(PackageSignature, KeyFilesThatAreNoKeysAreRefused) {
    BuildGood();
    const fs::path key = MakeKey("maker", true);
    Sign(key);
    WriteFileBytes(trusted_ / "broken.pub", "-----BEGIN PUBLIC KEY-----\nAAAA\n-----END PUBLIC KEY-----\n");
    EXPECT_TRUE(RefusedFor(Check(), "broken.pub: not an ECDSA P-256 public key"));
    // A private key in place of a public one, and a link, are no trusted keys either.
    fs::remove(trusted_ / "broken.pub");
    fs::copy_file(key, trusted_ / "private.pub");
    EXPECT_TRUE(RefusedFor(Check(), "private.pub"));
    fs::remove(trusted_ / "private.pub");
    // Windows makes links only with a privilege that tests do not have.
    std::error_code linkError;
    fs::create_symlink(keys_ / "maker.pub", trusted_ / "linked.pub", linkError);
    if (!linkError) {
        EXPECT_TRUE(RefusedFor(Check(), "linked.pub: a link"));
        fs::remove(trusted_ / "linked.pub");
    }
    EXPECT_TRUE(Check().verified);
    // A signing key that is no key signs nothing.
    WriteFileBytes(keys_ / "bogus.key", "not a key\n");
    const std::string signature = SignatureFile();
    const SignOutcome outcome = SignPackage(package_.string(), (keys_ / "bogus.key").string());
    EXPECT_FALSE(outcome.done);
    ASSERT_FALSE(outcome.errors.empty());
    EXPECT_NE(outcome.errors.front().find("not an unencrypted ECDSA P-256 private key"), std::string::npos);
    EXPECT_EQ(SignatureFile(), signature);
}

TEST_F(PackageSignature, WithoutTrustedKeysNothingIsEnforced) {
    BuildGood();
    EXPECT_FALSE(LoadTrustedKeys({(work_ / "none").string(), false}).enforced());
    EXPECT_FALSE(LoadTrustedKeys({trusted_.string(), false}).enforced());
    // A folder named on purpose must be there.
    EXPECT_TRUE(LoadTrustedKeys({(work_ / "none").string(), true}).enforced());
    // The variable names the folder when the command line does not.
    tessel::test::SetVariable(kTrustedKeysVariable, trusted_.string());
    EXPECT_EQ(FindTrustFolder("").folder, trusted_.string());
    EXPECT_EQ(FindTrustFolder("/x").folder, "/x");
    tessel::test::UnsetVariable(kTrustedKeysVariable);
    EXPECT_FALSE(FindTrustFolder("").named);
}

TEST_F(PackageSignature, TheCheckedCopyHoldsWhatWasCheckedAndNotLaterChanges) {
    BuildGood();
    Sign(MakeKey("maker", true));
    const TrustedKeys trusted = LoadTrustedKeys({trusted_.string(), true});
    const std::string image = ReadFileBytes(package_ / "kbteva.bin");
    std::string copy;
    {
        const VerifiedPackage verified(package_.string(), trusted, PackageScope::Firmware);
        ASSERT_TRUE(verified.check().verified) << verified.check().failure;
        copy = verified.folder();
        // Changed in the package after the check: the update reads the checked copy.
        WriteFileBytes(package_ / "kbteva.bin", "TESSEL FIRMWARE 66.66.66\n");
        EXPECT_EQ(ReadFileBytes(fs::path(copy) / "kbteva.bin"), image);
        EXPECT_EQ(ReadFileBytes(fs::path(copy) / "UpDateMng.txt"), Management());
    }
    EXPECT_FALSE(fs::exists(copy));
    const VerifiedPackage refused(package_.string(), trusted, PackageScope::Firmware);
    EXPECT_TRUE(RefusedFor(refused.check(), "kbteva.bin: changed after signing"));
    EXPECT_TRUE(refused.folder().empty());
}

TEST_F(PackageSignature, TheDialogsGateAdmitsTheCheckedCopyAndTellsTheRefusal) {
    BuildGood();
    SignedPackageGate gate({trusted_.string(), true});
    // No key trusted yet: the package as it is.
    PackageAdmission admission = gate.admit(package_.string(), UpdateProcedure::Script);
    EXPECT_TRUE(admission.admitted);
    EXPECT_EQ(admission.folder, package_.string());
    // A key given to the folder counts at the next update.
    Sign(MakeKey("maker", true));
    admission = gate.admit(package_.string(), UpdateProcedure::Script);
    ASSERT_TRUE(admission.admitted) << admission.detail;
    EXPECT_NE(admission.folder, package_.string());
    EXPECT_EQ(ReadFileBytes(fs::path(admission.folder) / "UpDateMng.txt"), Management());
    WriteFileBytes(package_ / "spacer.gif", "GIF89a");
    admission = gate.admit(package_.string(), UpdateProcedure::Script);
    EXPECT_FALSE(admission.admitted);
    EXPECT_EQ(admission.refusal, PackageRefusal::FileChanged);
    EXPECT_EQ(admission.subject, "spacer.gif");
    fs::remove(package_ / std::string(kSignatureFileName));
    admission = gate.admit(package_.string(), UpdateProcedure::Firmware);
    EXPECT_FALSE(admission.admitted);
    EXPECT_EQ(admission.refusal, PackageRefusal::Unsigned);
}

}  // namespace
}  // namespace tessel::pack::test
