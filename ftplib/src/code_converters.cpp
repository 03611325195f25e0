#include "code_converters.h"

namespace skiffs {

namespace {

constexpr std::string_view kToDoubleByte = "\x1B$B";
constexpr std::string_view kToAscii = "\x1B(B";

// Byte at i, or 0 past the end: a cut-off character never reads outside the input.
unsigned char At(std::string_view in, std::size_t i) {
    return i < in.size() ? static_cast<unsigned char>(in[i]) : 0;
}

void PutPair(Bytes& out, unsigned code) {
    out.push_back(static_cast<char>((code >> 8) & 0xFF));
    out.push_back(static_cast<char>(code & 0xFF));
}

void PutByte(Bytes& out, unsigned value) { out.push_back(static_cast<char>(value & 0xFF)); }

bool IsJisByte(unsigned c) { return c >= 0x21 && c <= 0x7E; }

}  // namespace

bool IsShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

unsigned ShiftJisCharToJis(unsigned shiftJis) {
    const unsigned lead = (shiftJis >> 8) & 0xFF;
    const unsigned trail = shiftJis & 0xFF;
    if (!IsShiftJisLead(static_cast<unsigned char>(lead)) || trail < 0x40 || trail > 0xFC || trail == 0x7F) {
        return 0;
    }
    unsigned row = ((lead < 0xA0 ? lead - 0x70 : lead - 0xB0) << 1) - 1;
    unsigned cell;
    if (trail >= 0x9F) {
        ++row;
        cell = trail - 0x7E;
    } else {
        cell = trail - (trail >= 0x80 ? 0x20 : 0x1F);
    }
    if (!IsJisByte(row) || !IsJisByte(cell)) return 0;
    return (row << 8) | cell;
}

unsigned JisCharToShiftJis(unsigned jis) {
    const unsigned row = (jis >> 8) & 0xFF;
    const unsigned cell = jis & 0xFF;
    if (!IsJisByte(row) || !IsJisByte(cell)) return 0;
    unsigned lead = ((row - 0x21) >> 1) + 0x81;
    if (lead > 0x9F) lead += 0x40;
    unsigned trail;
    if (row & 1) {
        trail = cell + 0x1F;
        if (trail >= 0x7F) ++trail;
    } else {
        trail = cell + 0x7E;
    }
    return (lead << 8) | trail;
}

Bytes ShiftJisToJis(std::string_view in) {
    enum class Mode { None, Ascii, DoubleByte } mode = Mode::None;
    Bytes out;
    out.reserve(in.size() * 2);
    for (std::size_t i = 0; i < in.size();) {
        const unsigned char c = At(in, i);
        if (IsShiftJisLead(c)) {
            if (mode != Mode::DoubleByte) out += kToDoubleByte;
            PutPair(out, ShiftJisCharToJis((unsigned{c} << 8) | At(in, i + 1)));
            mode = Mode::DoubleByte;
            i += 2;
        } else {
            if (mode != Mode::Ascii) out += kToAscii;
            out.push_back(static_cast<char>(c));
            mode = Mode::Ascii;
            i += 1;
        }
    }
    return out;
}

Bytes ShiftJisToEuc(std::string_view in) {
    Bytes out;
    out.reserve(in.size() * 2);
    for (std::size_t i = 0; i < in.size();) {
        const unsigned c = At(in, i);
        const unsigned t = At(in, i + 1);
        if (c >= 0xA0 && c <= 0xDF) {
            PutByte(out, 0x8E);
            PutByte(out, c);
            i += 1;
        } else if (IsShiftJisLead(static_cast<unsigned char>(c))) {
            // Lead bytes 0xF0 to 0xFC (user-defined characters) have no EUC-JP counterpart.
            const bool lowLead = c <= 0x9F;
            const bool mapped = lowLead || c <= 0xEF;
            if (mapped && t >= 0x40 && t <= 0x9E) {
                PutByte(out, 2 * c - (lowLead ? 0x61 : 0xE1));
                PutByte(out, t <= 0x7F ? t + 0x61 : t + 0x60);
            } else if (mapped && t >= 0x9F && t <= 0xFC) {
                PutByte(out, 2 * c - (lowLead ? 0x60 : 0xE0));
                PutByte(out, t + 2);
            } else {
                PutPair(out, 0);
            }
            i += 2;
        } else {
            PutByte(out, c);
            i += 1;
        }
    }
    return out;
}

Bytes JisToShiftJis(std::string_view in) {
    enum class Mode { None, Ascii, DoubleByte } mode = Mode::None;
    Bytes out;
    out.reserve(in.size());
    auto convertPair = [&](std::size_t i) {
        PutPair(out, JisCharToShiftJis((unsigned{At(in, i)} << 8) | At(in, i + 1)));
    };
    for (std::size_t i = 0; i < in.size();) {
        const std::string_view rest = in.substr(i);
        if (rest.starts_with(kToDoubleByte)) {
            i += kToDoubleByte.size();
            mode = Mode::DoubleByte;
            if (i >= in.size()) break;
            convertPair(i);
            i += 2;
        } else if (rest.starts_with(kToAscii)) {
            i += kToAscii.size();
            mode = Mode::Ascii;
            if (i >= in.size()) break;
            out.push_back(in[i]);
            i += 1;
        } else if (mode == Mode::DoubleByte) {
            convertPair(i);
            i += 2;
        } else {
            // Text before the first escape sequence has no known encoding and is dropped.
            if (mode == Mode::Ascii) out.push_back(in[i]);
            i += 1;
        }
    }
    return out;
}

Bytes EucToShiftJis(std::string_view in) {
    Bytes out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size();) {
        const unsigned c = At(in, i);
        const unsigned t = At(in, i + 1);
        if (c <= 0x7F) {
            PutByte(out, c);
            i += 1;
            continue;
        }
        if (c == 0x8E) {
            PutByte(out, t);
            i += 2;
            continue;
        }
        unsigned first = 0;
        unsigned second;
        if (c & 1) {
            if (c <= 0xDE) {
                first = (c + 1) / 2 + 0x30;
            } else if (c <= 0xFD) {
                first = (c + 1) / 2 + 0x70;
            }
            second = (t - 0x61) & 0xFF;
            if (second > 0x7E) ++second;
        } else {
            first = c <= 0xDE ? c / 2 + 0x30 : c / 2 + 0x70;
            second = t - 2;
        }
        PutByte(out, first);
        PutByte(out, second);
        i += 2;
    }
    return out;
}

Bytes Convert(int codeConversion, std::string_view in) {
    switch (codeConversion) {
        case kShiftJisToJis: return ShiftJisToJis(in);
        case kShiftJisToEuc: return ShiftJisToEuc(in);
        case kJisToShiftJis: return JisToShiftJis(in);
        case kEucToShiftJis: return EucToShiftJis(in);
        default: return Bytes(in);
    }
}

}  // namespace skiffs
