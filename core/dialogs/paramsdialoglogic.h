#pragma once
// The parameters dialog (Form9): the place's latitude and longitude, the
// half-hour zone and automatic summer time. It edits the shared settings as
// the user types, so the main window's sun and moon follow the boxes; OK keeps
// and saves them, any other way of closing puts back what was in force.

#include "core/caret.h"
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
    void okClick();                              // saves; the window then closes
    void unload();                               // Form_Unload, however the window closes

private:
    struct Remembered { int latDegrees = 0, latMinutes = 0, lonDegrees = 0, lonMinutes = 0;
                        int siteHalfHour = 0, autoDst = 0; };
    void setupStaticView();
    double latitudeSign() const;

    Program& program_;
    ParamsView v_;
    Remembered atOpening_;
    bool closedByOk_ = false;
    bool opening_ = false;   // keeps Check1's handler quiet while load() sets it
};

} // namespace vemar
