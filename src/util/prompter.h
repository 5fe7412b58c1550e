#pragma once
// Everything the core wants to tell or ask the user goes through a Prompter:
// the Qt shell shows real dialogs, tests record what was said.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "util/message.h"

namespace mw {

// The three answers to the question asked before unsaved changes would be lost.
enum class SaveChoice { Save, Discard, Cancel };

class Prompter {
public:
    virtual ~Prompter() = default;
    // A modal message box with the single button OK and no icon.
    virtual void message(const std::string& title, const std::string& text) = 0;
    // A result the user is told without being stopped (a save that worked):
    // the window shows it in its status bar; elsewhere it is a message.
    virtual void tell(const std::string& title, const std::string& text) { message(title, text); }
    // A Yes/No question; true for Yes.
    virtual bool askYesNo(const std::string& title, const std::string& text) = 0;
    // A question with the buttons Save, Discard and Cancel.
    virtual SaveChoice askSaveDiscardCancel(const std::string& title, const std::string& text) = 0;
    // The file-open dialog; nullopt when cancelled. `filterName` is shown
    // (for example "ROMs (*.smc)"), `pattern` is what it matches ("*.smc").
    virtual std::optional<std::string> chooseOpenFile(const std::string& filterName,
                                                      const std::string& pattern) = 0;
};

using PromptMessage = Message;

// Shows each of `messages` in turn.
inline void ShowMessages(Prompter& prompter, const Messages& messages) {
    for (const Message& m : messages) prompter.message(m.title, m.text);
}

// Collects messages instead of showing them (marlwick-cli, tests).
class RecordingPrompter : public Prompter {
public:
    std::vector<PromptMessage> messages;
    std::vector<PromptMessage> questions;
    std::vector<PromptMessage> tells;  // the messages that were told, not shown in a box
    bool answer = true;                       // what askYesNo answers
    SaveChoice saveChoice = SaveChoice::Discard;  // what askSaveDiscardCancel answers
    std::vector<std::optional<std::string>> openFileAnswers;  // consumed front first; empty -> cancel

    void message(const std::string& title, const std::string& text) override {
        messages.push_back({title, text});
    }
    void tell(const std::string& title, const std::string& text) override {
        tells.push_back({title, text});
        message(title, text);
    }
    bool askYesNo(const std::string& title, const std::string& text) override {
        questions.push_back({title, text});
        return answer;
    }
    SaveChoice askSaveDiscardCancel(const std::string& title, const std::string& text) override {
        questions.push_back({title, text});
        return saveChoice;
    }
    std::optional<std::string> chooseOpenFile(const std::string&, const std::string&) override {
        if (openFileAnswers.empty()) return std::nullopt;
        auto a = openFileAnswers.front();
        openFileAnswers.erase(openFileAnswers.begin());
        return a;
    }
};

// Passes everything on to `inner`, except what is told: that goes to
// `onTell` (the main window's status bar).
class TellingPrompter : public Prompter {
public:
    TellingPrompter(Prompter& inner, std::function<void(const Message&)> onTell)
        : inner_(inner), onTell_(std::move(onTell)) {}
    void message(const std::string& title, const std::string& text) override { inner_.message(title, text); }
    void tell(const std::string& title, const std::string& text) override { onTell_({title, text}); }
    bool askYesNo(const std::string& title, const std::string& text) override { return inner_.askYesNo(title, text); }
    SaveChoice askSaveDiscardCancel(const std::string& title, const std::string& text) override {
        return inner_.askSaveDiscardCancel(title, text);
    }
    std::optional<std::string> chooseOpenFile(const std::string& filterName, const std::string& pattern) override {
        return inner_.chooseOpenFile(filterName, pattern);
    }

private:
    Prompter& inner_;
    std::function<void(const Message&)> onTell_;
};

}  // namespace mw
