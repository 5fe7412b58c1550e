#pragma once
// Something the program has to tell the user: a title and a text. The core
// returns these; the editor shows them, the command line prints them.
#include <string>
#include <vector>

namespace mw {

struct Message {
    std::string title;
    std::string text;
    bool operator==(const Message&) const = default;
};

using Messages = std::vector<Message>;

}  // namespace mw
