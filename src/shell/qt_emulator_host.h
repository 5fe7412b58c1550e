#pragma once
// The emulator test's needs met by Qt: the command kept with QSettings, an
// input box, and a program started on its own.
#include <QWidget>

#include "editing/emulator_test.h"

namespace mw {

class QtEmulatorHost : public EmulatorHost {
public:
    explicit QtEmulatorHost(QWidget* parent) : parent_(parent) {}
    std::string storedCommand() override;
    void storeCommand(const std::string& command) override;
    std::optional<std::string> askText(const std::string& title, const std::string& label,
                                       const std::string& initial) override;
    bool startDetached(const std::string& program, const std::vector<std::string>& arguments,
                       std::string& error) override;

private:
    QWidget* parent_;
};

}  // namespace mw
