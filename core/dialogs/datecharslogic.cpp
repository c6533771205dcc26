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

void DateCharsLogic::firstBoxChanged(std::string_view text) {
    boxChanged(view_.firstBox, program_.state().display.dateSymbol1, saved1_, text);
}

void DateCharsLogic::secondBoxChanged(std::string_view text) {
    boxChanged(view_.secondBox, program_.state().display.dateSymbol2, saved2_, text);
}

void DateCharsLogic::boxChanged(ControlView& box, std::string& symbol, const std::string& saved,
                           std::string_view text) {
    box.caption = DateCharFilter(text);
    symbol = box.caption;
    ControlView& ok = view_.okButton;
    if (symbol.empty()) ok.enabled = false;
    else if (symbol != saved) ok.enabled = true;
    const SharedState& s = program_.state();
    view_.defaultButton.enabled = !(s.display.dateSymbol1 == texts::kDefaultSymbol1 && s.display.dateSymbol2 == texts::kDefaultSymbol2);
    program_.dateSymbolsChanged();
}

// A command whose button is disabled does nothing, whoever calls it.
void DateCharsLogic::defaultClick() {
    if (!view_.defaultButton.enabled) return;
    SharedState& s = program_.state();
    if (!s.display.dateSymbol1.empty()) saved1_ = s.display.dateSymbol1;
    if (!s.display.dateSymbol2.empty()) saved2_ = s.display.dateSymbol2;
    s.display.dateSymbol1 = texts::kDefaultSymbol1;
    s.display.dateSymbol2 = texts::kDefaultSymbol2;
    firstBoxChanged(texts::kDefaultSymbol1);
    secondBoxChanged(texts::kDefaultSymbol2);
    program_.dateSymbolsChanged();
}

void DateCharsLogic::annullaClick() {
    SharedState& s = program_.state();
    s.display.dateSymbol1 = saved1_;
    s.display.dateSymbol2 = saved2_;
    program_.dateSymbolsChanged();
    closeRequested_ = true;
}

void DateCharsLogic::okClick() {
    if (view_.okButton.enabled) closeRequested_ = true;
}

} // namespace vemar
