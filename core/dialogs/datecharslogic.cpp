#include "datecharslogic.h"

#include "core/files.h"
#include "core/program.h"
#include "core/texts.h"

namespace vemar {

namespace {

constexpr Rgb kFirstDateRed = rgb(192, 0, 0);
constexpr Rgb kSecondDateGreen = rgb(0, 128, 0);
constexpr Rgb kSecondDateGrey = rgb(128, 128, 128);
constexpr Rgb kLightYellow = rgb(255, 255, 192);

std::size_t FirstCharacterLength(std::string_view text) {
    std::size_t end = text.empty() ? 0 : 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    return end;
}

} // namespace

// The symbols live in seg.dat, shifted like every field there: a character
// refused now would otherwise be lost silently at shut-down.
std::string DateCharFilter(std::string_view typed) {
    const std::string_view first = typed.substr(0, FirstCharacterLength(typed));
    return ScrambleField(first) ? std::string(first) : std::string();
}

DateCharsLogic::DateCharsLogic(Program& program) : program_(program) {
    using namespace texts;
    view_.form.caption = kDateCharsCaption;
    view_.firstLabel.caption = kFirstDateChar;
    view_.firstLabel.textColour = kFirstDateRed;
    view_.secondLabel.caption = kSecondDateChar;
    view_.secondLabel.textColour = kSecondDateGreen;
    view_.firstBox.accessibleName = kFirstCharName;
    view_.secondBox.accessibleName = kSecondCharName;
    view_.firstBox.backColour = kLightYellow;
    view_.firstBox.textColour = kFirstDateRed;
    view_.secondBox.backColour = kLightYellow;
    view_.secondBox.textColour = kSecondDateGrey;
    view_.annullaButton.caption = kCancel;
    view_.okButton.caption = kOkRule;
    view_.okButton.enabled = false;
    view_.defaultButton.caption = kDefault;
}

void DateCharsLogic::open() {
    const SharedState& s = program_.state();
    saved1_ = s.display.dateSymbol1;
    saved2_ = s.display.dateSymbol2;
    firstBoxChanged(s.display.dateSymbol1);
    secondBoxChanged(s.display.dateSymbol2);
}

void DateCharsLogic::firstBoxChanged(std::string_view text) { boxChanged(view_.firstBox, 0, saved1_, text); }

void DateCharsLogic::secondBoxChanged(std::string_view text) { boxChanged(view_.secondBox, 1, saved2_, text); }

// `which` is 0 for the first date's character, 1 for the second's.
void DateCharsLogic::boxChanged(ControlView& box, int which, const std::string& saved, std::string_view text) {
    box.caption = DateCharFilter(text);
    std::array symbols{program_.state().display.dateSymbol1, program_.state().display.dateSymbol2};
    symbols[which] = box.caption;
    ControlView& ok = view_.okButton;
    if (box.caption.empty()) ok.enabled = false;
    else if (box.caption != saved) ok.enabled = true;
    view_.defaultButton.enabled =
        !(symbols[0] == texts::kDefaultSymbol1 && symbols[1] == texts::kDefaultSymbol2);
    program_.setDateSymbols(symbols[0], symbols[1]);
}

// A command whose button is disabled does nothing, whoever calls it.
void DateCharsLogic::defaultClick() {
    if (!view_.defaultButton.enabled) return;
    const SharedState& s = program_.state();
    if (!s.display.dateSymbol1.empty()) saved1_ = s.display.dateSymbol1;
    if (!s.display.dateSymbol2.empty()) saved2_ = s.display.dateSymbol2;
    program_.setDateSymbols(std::string(texts::kDefaultSymbol1), std::string(texts::kDefaultSymbol2));
    firstBoxChanged(texts::kDefaultSymbol1);
    secondBoxChanged(texts::kDefaultSymbol2);
}

void DateCharsLogic::annullaClick() {
    program_.setDateSymbols(saved1_, saved2_);
    closeRequested_ = true;
}

void DateCharsLogic::okClick() {
    if (view_.okButton.enabled) closeRequested_ = true;
}

} // namespace vemar
