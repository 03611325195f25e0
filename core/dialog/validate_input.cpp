#include <cstdint>
#include <optional>
#include <string>

#include "dialog/control_ids.h"
#include "dialog/cp932.h"
#include "dialog/operator_texts.h"
#include "dialog/tessel_dlg.h"

namespace tessel {
namespace {

constexpr std::size_t kAddressLimit = 72;
constexpr std::size_t kCredentialLimit = 15;

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// A decimal number read the way atoi reads it (leading white space, optional sign, digits up to the first
// other character, none giving 0), kept to its lowest 16 bits at every digit so that no length overflows.
std::uint16_t ParsePort(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsCSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    std::uint16_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = static_cast<std::uint16_t>(value * 10u + static_cast<unsigned>(text[pos] - '0'));
    }
    return negative ? static_cast<std::uint16_t>(0u - value) : value;
}

}  // namespace

bool CTesselDlg::ValidateInput() {
    struct Field {
        int control;
        std::size_t limit;
        std::string* target;
        std::string_view tooLong;
        std::string_view notEncodable;
    };
    const Field fields[] = {
        {kAddressEdit, kAddressLimit, &address_, texts::kAddressTooLong, texts::kAddressUnencodable},
        {kLoginIdEdit, kCredentialLimit, &loginId_, texts::kLoginIdTooLong, texts::kLoginIdUnencodable},
        {kPasswordEdit, kCredentialLimit, &password_, texts::kPasswordTooLong, texts::kPasswordUnencodable},
    };
    for (const Field& field : fields) {
        const std::optional<std::string> text = Utf8ToCp932(host_.controlText(field.control));
        if (!text) {
            ShowMessage(field.notEncodable, MessageIcon::Warning);
            return false;
        }
        if (text->size() > field.limit) {
            ShowMessage(field.tooLong, MessageIcon::Warning);
            return false;
        }
        *field.target = *text;
    }
    ftpPort_ = ParsePort(host_.controlText(kFtpPortEdit));
    return true;
}

}  // namespace tessel
