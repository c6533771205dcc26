#include "paramsdialoglogic.h"

#include "core/calendar.h"
#include "core/files.h"
#include "core/program.h"
#include "core/texts.h"

#include <algorithm>
#include <cmath>

namespace vemar {

namespace {

constexpr int kMaxLatDegrees = 89;
constexpr int kMaxMinutes = 59;
constexpr int kMaxLonDegrees = 180;

constexpr Rgb kBoxBack = rgb(0, 0, 64);
constexpr Rgb kBoxText = rgb(255, 255, 192);
constexpr Rgb kFaceGrey = palette(7);
constexpr Rgb kLabelBlue = palette(1);
constexpr Rgb kOptionRed = palette(4);

bool isDigit(char c) { return c >= '0' && c <= '9'; }

template <class Keep> std::string keepOnly(std::string_view text, Keep keep) {
    std::string kept;
    for (char c : text)
        if (keep(c)) kept += c;
    return kept;
}

// The box's number: its leading digits (with a minus sign where the box
// admits one); empty or a lone minus sign reads as 0, never as -0.
double boxNumber(const std::string& kept) {
    const double n = LeadingNumber(kept);
    return n == 0 ? 0.0 : n;
}

double withSign(double sign, double magnitude) {
    return magnitude == 0 ? 0.0 : sign * std::fabs(magnitude);
}

// A box of digits only, clamped to max: the kept text goes back into the
// box; returns the number it shows.
double digitsBox(std::string_view text, int max, ControlView& box) {
    std::string kept = keepOnly(text, isDigit);
    double number = boxNumber(kept);
    if (number > max) {
        number = max;
        kept = std::to_string(max);
    }
    box.caption = kept;
    return number;
}

// The dialog remembers the place as whole numbers; the fills show them so.
int whole(double value) {
    return ToInteger(std::round(value));   // halves away from zero
}

} // namespace

ParamsDialogLogic::ParamsDialogLogic(Program& program) : program_(program) { setupStaticView(); }

void ParamsDialogLogic::setupStaticView() {
    using namespace texts;
    v_.form.caption = kParamsCaption;
    v_.form.backColour = kFaceGrey;
    v_.latitudeLabel.caption = kLatitude;
    v_.longitudeLabel.caption = kLongitude;
    v_.halfHourFrame.caption = kHalfHourFrame;
    v_.halfHourYes.caption = kYes;
    v_.halfHourNo.caption = kNo;
    v_.autoDstBox.caption = kAutoDst;
    v_.annullaButton.caption = kCancel;
    v_.okButton.caption = kOk;
    for (ControlView* box : {&v_.latitudeDegrees, &v_.latitudeMinutes, &v_.longitudeDegrees, &v_.longitudeMinutes}) {
        box->backColour = kBoxBack;
        box->textColour = kBoxText;
    }
    for (ControlView* label : {&v_.latitudeLabel, &v_.longitudeLabel, &v_.autoDstBox}) {
        label->backColour = kFaceGrey;
        label->textColour = kLabelBlue;
    }
    for (ControlView* option : {&v_.halfHourYes, &v_.halfHourNo}) {
        option->backColour = kFaceGrey;
        option->textColour = kOptionRed;
    }
    for (ControlView* frame : {&v_.halfHourFrame, &v_.autoDstFrame}) frame->backColour = kFaceGrey;
}

double ParamsDialogLogic::latitudeSign() const {
    return program_.state().site.hemisphere == Hemisphere::South ? -1.0 : 1.0;
}

void ParamsDialogLogic::load() {
    SharedState& s = program_.state();
    atOpening_.siteHalfHour = s.site.halfHourMinutes;
    atOpening_.autoDst = s.site.autoDst;

    latitudeDegreesChanged(std::to_string(std::abs(whole(s.site.latDegrees))));
    latitudeMinutesChanged(std::to_string(std::abs(whole(s.site.latMinutes))));
    longitudeDegreesChanged(std::to_string(whole(s.site.lonDegrees)));
    longitudeMinutesChanged(std::to_string(std::abs(whole(s.site.lonMinutes))));
    atOpening_.latDegrees = whole(s.site.latDegrees);
    atOpening_.latMinutes = whole(s.site.latMinutes);
    atOpening_.lonDegrees = whole(s.site.lonDegrees);
    atOpening_.lonMinutes = whole(s.site.lonMinutes);

    if (s.site.halfHourMinutes == 30) halfHourYesClick();
    else halfHourNoClick();

    opening_ = true;
    autoDstClick(s.site.autoDst != 0);
    opening_ = false;
}

void ParamsDialogLogic::latitudeDegreesChanged(std::string_view text) {
    program_.state().site.latDegrees = withSign(latitudeSign(), digitsBox(text, kMaxLatDegrees, v_.latitudeDegrees));
}

void ParamsDialogLogic::latitudeMinutesChanged(std::string_view text) {
    program_.state().site.latMinutes = withSign(latitudeSign(), digitsBox(text, kMaxMinutes, v_.latitudeMinutes));
}

void ParamsDialogLogic::longitudeDegreesChanged(std::string_view text) {
    SharedState& s = program_.state();
    std::string kept = keepOnly(text, [](char c) { return isDigit(c) || c == '-'; });
    s.site.lonDegrees = boxNumber(kept);
    // The minutes carry the sign of the degrees, so the place stays on one
    // side of Greenwich whichever box was typed last.
    s.site.lonMinutes = withSign(s.site.lonDegrees < 0 ? -1.0 : 1.0, s.site.lonMinutes);
    if (s.site.lonDegrees < -kMaxLonDegrees) {
        s.site.lonDegrees = -kMaxLonDegrees;
        kept = std::to_string(-kMaxLonDegrees);
    } else if (s.site.lonDegrees > kMaxLonDegrees) {
        s.site.lonDegrees = kMaxLonDegrees;
        kept = std::to_string(kMaxLonDegrees);
    }
    v_.longitudeDegrees.caption = kept;
}

void ParamsDialogLogic::longitudeMinutesChanged(std::string_view text) {
    SharedState& s = program_.state();
    s.site.lonMinutes = withSign(s.site.lonDegrees < 0 ? -1.0 : 1.0, digitsBox(text, kMaxMinutes, v_.longitudeMinutes));
}

void ParamsDialogLogic::halfHourYesClick() {
    program_.state().site.halfHourMinutes = 30;
    v_.halfHourYes.checked = true;
    v_.halfHourNo.checked = false;
}

void ParamsDialogLogic::halfHourNoClick() {
    program_.state().site.halfHourMinutes = 0;
    v_.halfHourYes.checked = false;
    v_.halfHourNo.checked = true;
}

void ParamsDialogLogic::autoDstClick(bool ticked) {
    v_.autoDstBox.checked = ticked;
    if (!opening_) program_.state().site.autoDst = ticked ? 1 : 0;
}

void ParamsDialogLogic::okClick() {
    program_.guarded([&] {
        program_.legaleSinoToday();
        program_.showDstLabel();
        program_.saveSiteSettings();
        closedByOk_ = true;
    });
}

void ParamsDialogLogic::unload() {
    if (!closedByOk_) {
        SharedState& s = program_.state();
        s.site.latDegrees = atOpening_.latDegrees;
        s.site.latMinutes = atOpening_.latMinutes;
        s.site.lonDegrees = atOpening_.lonDegrees;
        s.site.lonMinutes = atOpening_.lonMinutes;
        s.site.halfHourMinutes = atOpening_.siteHalfHour;
        s.site.autoDst = atOpening_.autoDst;
    }
    closedByOk_ = false;
}

} // namespace vemar
