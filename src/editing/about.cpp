#include "editing/about.h"

namespace mw {

const char* const kAboutCaption = "About";
const char* const kAboutTitle = "Marlwick 0.73";
const char* const kAboutByline = "by the Marlwick team";
const char* const kAboutCancelTitle = "Marlwick - User Error";
const char* const kBadgerTitle = "Marlwick - Sillyness";

namespace {
constexpr const char* kNewLine = "\n";
}

std::string BuildAboutText(const std::string& initial) {
    static const char* const paragraphs[] = {
        "Thanks to everyone who took notes on how the game stores its levels and shared them; "
        "without those notes this editor could not exist.",
        "Thanks to the contributor who supplied key pieces of information and a good deal of coding help.",
        "Thanks to the beta testers: for checking how easy the editor is to learn, for help with the "
        "assembly, for finding faults and reporting them, for a demonstration hack, for help with the "
        "data files, and for polishing the interface and hosting the files.  Thanks also to everyone "
        "who signed up for the beta and could not be taken.",
        "Thanks to the tester who suggested colouring the boxes and found many faults.",
        "Thanks to the one who tried first; without that attempt this editor would not have been made.",
        "Thanks to the game's hacking community and its message board, for making a place for all of this.",
        "Extra thanks to the three hackers whose work showed the way, "
        "just for being mind-bogglingly good hackers.  We look up to you guys.",
        "(And thanks to friends and family for putting up with our exuberance about the project.)",
    };
    std::string text = initial;
    text += kNewLine;
    text += kNewLine;
    for (const char* p : paragraphs) {
        text += p;
        text += kNewLine;
    }
    text += kNewLine;
    text += "To contact the Marlwick team, open an issue on the project's issue tracker.";
    return text;
}

std::string AboutCancelText() {
    std::string text = "Dude, what on earth are you doing?  How do you cancel an about dialogue?";
    text += kNewLine;
    text += "What do you expect it to do, undo the changes you made while in the about dialogue?";
    text += kNewLine;
    text += "You didn't do anything, it's a bloody about dialogue!";
    text += kNewLine;
    text += kNewLine;
    text += "...are you SURE you should be hacking?";
    return text;
}

std::string BadgerText(int32_t count) {
    return "Badger fetched.  You now have " + std::to_string(count) + " badgers.";
}

void AboutDialog::Form_Load() {
    lblAbout = BuildAboutText(lblAbout);
    loaded_ = true;
}

void AboutDialog::Show() {
    if (!loaded_) Form_Load();
    visible = true;
}

void AboutDialog::cmdCancel_Click(Prompter& prompter) { prompter.message(kAboutCancelTitle, AboutCancelText()); }

}  // namespace mw
