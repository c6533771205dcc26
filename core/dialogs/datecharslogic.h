#pragma once
// Form8 "Caratteri Per le Date": the two date-marker characters, live on the
// main window from the first keystroke; "Default" sets "*" and "°",
// "Annulla" restores the pair saved before, "Ok" keeps what is shown.

#include "core/view.h"

#include <string>
#include <string_view>

namespace vemar {

class Program;

// What a date-character box keeps of a text typed into it: its first
// character, unless seg.dat could not store it (no Windows-1252 code, or a
// scrambled form that would break the field), in which case nothing.
std::string DateCharFilter(std::string_view typed);

struct DateCharsView {
    ControlView form;         // caption
    ControlView firstLabel;       // "Carattere Prima Data:"
    ControlView secondLabel;       // "Carattere Seconda Data:"
    ControlView firstBox;        // first-date character
    ControlView secondBox;        // second-date character
    ControlView annullaButton;   // "Annulla"
    ControlView okButton;   // "Ok"
    ControlView defaultButton;   // "Default"
};

class DateCharsLogic {
public:
    explicit DateCharsLogic(Program& program);

    const DateCharsView& view() const { return view_; }
    // Annulla and Ok end the dialog; the window closes when this turns true.
    bool closeRequested() const { return closeRequested_; }

    void open();                               // Form_Load
    void firstBoxChanged(std::string_view text);  // any change of Text1
    void secondBoxChanged(std::string_view text);  // any change of Text2
    void defaultClick();                       // SSCommand3
    void annullaClick();                       // SSCommand1
    void okClick();                            // SSCommand2

private:
    void boxChanged(ControlView& box, std::string& symbol, const std::string& saved, std::string_view text);

    Program& program_;
    DateCharsView view_;
    // The pair in force at opening, or just before the last Default.
    std::string saved1_, saved2_;
    bool closeRequested_ = false;
};

} // namespace vemar
