#pragma once
// The parameters dialog: the place's latitude and longitude, the
// half-hour zone and automatic summer time. It edits the shared settings as
// the user types, so the main window's sun and moon follow the boxes; OK keeps
// and saves them, any other way of closing puts back what was in force.

#include "core/caret.h"
#include "core/state.h"
#include "core/view.h"

#include <string>
#include <string_view>

namespace vemar {

class Program;

struct ParamsView {
    ControlView form;                       // caption "Parametri"
    ControlView latitudeLabel, latitudeDegrees, latitudeMinutes;       // latitude: degrees, minutes
    ControlView longitudeLabel, longitudeDegrees, longitudeMinutes;       // longitude: degrees, minutes
    ControlView halfHourFrame, halfHourYes, halfHourNo;   // half hour: "Si", "No"
    ControlView autoDstFrame, autoDstBox;             // automatic summer time
    ControlView annullaButton, okButton;     // "Annulla", "OK"
};

class ParamsDialogLogic {
public:
    explicit ParamsDialogLogic(Program& program);

    const ParamsView& view() const { return v_; }

    void load();                                 // Form_Load
    // Any change of a box's text, typed or set: the box's text afterwards is
    // in the view.
    void latitudeDegreesChanged(std::string_view text);    // latitude degrees
    void latitudeMinutesChanged(std::string_view text);    // latitude minutes
    void longitudeDegreesChanged(std::string_view text);    // longitude degrees
    void longitudeMinutesChanged(std::string_view text);    // longitude minutes
    void halfHourYesClick();                         // "Si": 30 minutes
    void halfHourNoClick();                         // "No"
    void autoDstClick(bool ticked);
    // Saves; true when the window may close, false when the save failed and
    // the boxes stay as typed.
    bool okClick();
    void unload();                               // Form_Unload, however the window closes

private:
    void setupStaticView();
    double latitudeSign() const;
    template <class Edit> void editPlace(Edit&& edit);

    Program& program_;
    ParamsView v_;
    PlaceSettings atOpening_{};
    bool closedByOk_ = false;
    bool opening_ = false;   // keeps the check box's handler quiet while load() sets it
};

} // namespace vemar
