#pragma once
// The About box and the badger counter: texts only, no level or ROM involved.
#include <cstdint>
#include <string>

#include "util/prompter.h"

namespace mw {

// Window caption, title line and byline of the About box.
extern const char* const kAboutCaption;
extern const char* const kAboutTitle;
extern const char* const kAboutByline;

// The credits of lblAbout: `initial` (the label's text before it is filled)
// followed by the paragraphs, each on its own line.
std::string BuildAboutText(const std::string& initial = std::string());

// The box that "&Cancel" of the About box shows.
extern const char* const kAboutCancelTitle;
std::string AboutCancelText();

// The novelty command's box for the new count.
extern const char* const kBadgerTitle;
std::string BadgerText(int32_t count);

// frmAbout without the widgets. The dialog is hidden, not destroyed, so the
// credits are built only when it first loads.
class AboutDialog {
public:
    std::string lblAbout;
    bool visible = false;

    // Shows the dialog (modal in the shell); builds the credits on first use.
    void Show();
    // "&Alright": hides the dialog.
    void cmdOK_Click() { visible = false; }
    // "&Cancel" (and Esc): a message; the dialog stays open.
    void cmdCancel_Click(Prompter& prompter);

private:
    bool loaded_ = false;
    void Form_Load();
};

}  // namespace mw
