#include "editing/shortcut_list.h"

namespace mw {

std::string PlainCaption(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;  // "&x" is x, "&&" is '&'
        out += caption[i];
    }
    if (out.size() > 3 && out.compare(out.size() - 3, 3, "...") == 0) out.resize(out.size() - 3);
    return out;
}

std::vector<ShortcutRow> ShortcutRows(const std::vector<ShortcutItem>& items) {
    std::vector<ShortcutRow> rows;
    for (const ShortcutItem& item : items) {
        if (item.keys.empty()) continue;
        ShortcutRow row;
        for (const std::string& menu : item.menuPath) row.command += PlainCaption(menu) + " > ";
        row.command += PlainCaption(item.caption);
        for (const std::string& key : item.keys) row.keys += (row.keys.empty() ? "" : ", ") + key;
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace mw
