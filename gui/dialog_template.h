#pragma once

#include <span>
#include <string_view>

namespace tessel {

// A rectangle in dialog units: a quarter of the dialog font's average character width horizontally, an
// eighth of its character height vertically.
struct DialogRect {
    int x;
    int y;
    int width;
    int height;
};

enum class ControlKind { PushButton, Label, Edit, GroupBox };

enum ControlStyle : unsigned {
    kPlain = 0,
    kDefaultButton = 1u << 0,
    kBordered = 1u << 1,
    kReadOnly = 1u << 2,
    kHidden = 1u << 3,
    kPassword = 1u << 4,
};

// A control without an id (a label or a group box) has kNoControlId.
inline constexpr int kNoControlId = -1;

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string_view text;  // UTF-8
    DialogRect rect;
    unsigned style;
};

// The main dialog's window template: its client size and its controls in tab order.
struct DialogTemplate {
    int width;
    int height;
    std::string_view fontFamily;
    int fontPointSize;
    std::span<const ControlTemplate> controls;
};

const DialogTemplate& MainDialogTemplate();

}  // namespace tessel
