#pragma once
// Shows the core's messages, questions and the ROM choice with Qt dialogs.
#include <QWidget>

#include "util/prompter.h"

namespace mw {

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const std::string& title, const std::string& text) override;
    bool askYesNo(const std::string& title, const std::string& text) override;
    SaveChoice askSaveDiscardCancel(const std::string& title, const std::string& text) override;
    std::optional<std::string> chooseOpenFile(const std::string& filterName,
                                              const std::string& pattern) override;

private:
    QWidget* parent_;
};

}  // namespace mw
