#include "paramsdialoglogic.h"

#include "core/dialogs/dialogsave.h"
#include "core/time/calendar.h"
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
    ControlView* boxes[] = {&v_.latitudeDegrees, &v_.latitudeMinutes, &v_.longitudeDegrees, &v_.longitudeMinutes};
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        boxes[i]->backColour = kBoxBack;
        boxes[i]->textColour = kBoxText;
        boxes[i]->accessibleName = kPlaceBoxNames[i];
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

template <class Edit> void ParamsDialogLogic::editPlace(Edit&& edit) {
    PlaceSettings place = program_.place();
    edit(place);
    program_.setPlace(place);
}

void ParamsDialogLogic::load() {
    const PlaceSettings place = program_.place();
    latitudeDegreesChanged(std::to_string(std::abs(whole(place.latDegrees))));
    latitudeMinutesChanged(std::to_string(std::abs(whole(place.latMinutes))));
    longitudeDegreesChanged(std::to_string(whole(place.lonDegrees)));
    longitudeMinutesChanged(std::to_string(std::abs(whole(place.lonMinutes))));
    // Cancelling restores the place as the boxes took it (signed, clamped).
    const PlaceSettings shown = program_.place();
    atOpening_ = {double(whole(shown.latDegrees)), double(whole(shown.latMinutes)),
                  double(whole(shown.lonDegrees)), double(whole(shown.lonMinutes)),
                  place.halfHour, place.autoDst};

    if (place.halfHour == std::chrono::minutes{30}) halfHourYesClick();
    else halfHourNoClick();

    opening_ = true;
    autoDstClick(place.autoDst != 0);
    opening_ = false;
}

void ParamsDialogLogic::latitudeDegreesChanged(std::string_view text) {
    const double degrees = withSign(latitudeSign(), digitsBox(text, kMaxLatDegrees, v_.latitudeDegrees));
    editPlace([&](PlaceSettings& p) { p.latDegrees = degrees; });
}

void ParamsDialogLogic::latitudeMinutesChanged(std::string_view text) {
    const double minutes = withSign(latitudeSign(), digitsBox(text, kMaxMinutes, v_.latitudeMinutes));
    editPlace([&](PlaceSettings& p) { p.latMinutes = minutes; });
}

void ParamsDialogLogic::longitudeDegreesChanged(std::string_view text) {
    std::string kept = keepOnly(text, [](char c) { return isDigit(c) || c == '-'; });
    const double typed = boxNumber(kept);
    double degrees = typed;
    if (degrees < -kMaxLonDegrees) {
        degrees = -kMaxLonDegrees;
        kept = std::to_string(-kMaxLonDegrees);
    } else if (degrees > kMaxLonDegrees) {
        degrees = kMaxLonDegrees;
        kept = std::to_string(kMaxLonDegrees);
    }
    v_.longitudeDegrees.caption = kept;
    // The minutes carry the sign of the degrees as typed, so the place stays
    // on one side of Greenwich whichever box was typed last.
    editPlace([&](PlaceSettings& p) {
        p.lonDegrees = degrees;
        p.lonMinutes = withSign(typed < 0 ? -1.0 : 1.0, p.lonMinutes);
    });
}

void ParamsDialogLogic::longitudeMinutesChanged(std::string_view text) {
    const double minutes = digitsBox(text, kMaxMinutes, v_.longitudeMinutes);
    editPlace([&](PlaceSettings& p) { p.lonMinutes = withSign(p.lonDegrees < 0 ? -1.0 : 1.0, minutes); });
}

void ParamsDialogLogic::halfHourYesClick() {
    editPlace([](PlaceSettings& p) { p.halfHour = std::chrono::minutes{30}; });
    v_.halfHourYes.checked = true;
    v_.halfHourNo.checked = false;
}

void ParamsDialogLogic::halfHourNoClick() {
    editPlace([](PlaceSettings& p) { p.halfHour = std::chrono::minutes{0}; });
    v_.halfHourYes.checked = false;
    v_.halfHourNo.checked = true;
}

void ParamsDialogLogic::autoDstClick(bool ticked) {
    v_.autoDstBox.checked = ticked;
    if (!opening_) editPlace([&](PlaceSettings& p) { p.autoDst = ticked ? 1 : 0; });
}

bool ParamsDialogLogic::okClick() {
    closedByOk_ = SaveKeepingEdits(program_.platform(), [&] {
        program_.legaleSinoToday();
        program_.showDstLabel();
        program_.saveSiteSettings();
    });
    return closedByOk_;
}

void ParamsDialogLogic::unload() {
    if (!closedByOk_) program_.setPlace(atOpening_);
    closedByOk_ = false;
}

} // namespace vemar
