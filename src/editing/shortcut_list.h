#pragma once
// Help -> "Keyboard shortcuts": the window's menu items that have keys, read
// from the items themselves, as rows of command and keys.
#include <string>
#include <vector>

namespace mw {

// One menu item as the window has it: the captions of the menus above it,
// its own caption (with its mnemonic '&') and its keys in display text.
struct ShortcutItem {
    std::vector<std::string> menuPath;
    std::string caption;
    std::vector<std::string> keys;
};

struct ShortcutRow {
    std::string command;  // "Edit > Undo"
    std::string keys;     // "Ctrl+Y, Ctrl+Shift+Z"
    bool operator==(const ShortcutRow&) const = default;
};

// A caption as read: without its mnemonic ('&&' stays one '&') and without
// a trailing "...".
std::string PlainCaption(const std::string& caption);

// The items that have keys, in menu order.
std::vector<ShortcutRow> ShortcutRows(const std::vector<ShortcutItem>& items);

}  // namespace mw
