#pragma once
// The name of every window and control, as the windows were first drawn:
// the snapshot driver prints them and the end-to-end tests find controls by
// them, so they must never change. An indexed control is named "Label2(5)".

#include "view.h"

#include <span>

namespace vemar {

// One control, or an indexed array of them, as a span of the view.
template <auto Member> std::span<ControlView> controlsOf(MainView& v) {
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(v.*Member)>, ControlView>)
        return {&(v.*Member), 1};
    else
        return v.*Member;
}

struct NamedControls {
    const char* name;
    bool indexed;                                  // an array: name(0), name(1) ...
    std::span<ControlView> (*controls)(MainView&);
};

// The main window's controls, in the order the tests' pictures list them.
inline constexpr NamedControls kMainControls[] = {
    {"Form1", false, controlsOf<&MainView::form>},
    {"Label1", true, controlsOf<&MainView::cityNames>},
    {"Label2", true, controlsOf<&MainView::rowTimes>},
    {"Label2(27)", false, controlsOf<&MainView::utTime>},
    {"Label2(28)", false, controlsOf<&MainView::meanTime>},
    {"Label2(29)", false, controlsOf<&MainView::siderealTime>},
    {"Label2(30)", false, controlsOf<&MainView::yearStart>},
    {"Label2(31)", false, controlsOf<&MainView::yearEnd>},
    {"Label2(32)", false, controlsOf<&MainView::julianDay>},
    {"Label2(33)", false, controlsOf<&MainView::sunSentence>},
    {"Label2(34)", false, controlsOf<&MainView::moonSentence>},
    {"Label3", true, controlsOf<&MainView::dateMarkers>},
    {"SSPanel1", true, controlsOf<&MainView::dateSymbols>},
    {"SSPanel2", false, controlsOf<&MainView::firstDate>},
    {"SSPanel3", false, controlsOf<&MainView::secondDate>},
    {"SSPanel5", false, controlsOf<&MainView::summerTimeButton>},
    {"SSPanel6", false, controlsOf<&MainView::summerPeriod>},
    {"SSPanel7", false, controlsOf<&MainView::tableButton>},
    {"SSPanel8", false, controlsOf<&MainView::dayOfYear>},
    {"SSPanel9", false, controlsOf<&MainView::daysToYearEnd>},
    {"SSCommand1", false, controlsOf<&MainView::signalButton>},
    {"Command1", false, controlsOf<&MainView::saveZoneButton>},
    {"Text1", false, controlsOf<&MainView::zoneBox>},
    {"UpDown1", false, controlsOf<&MainView::zoneUpDown>},
    {"Frame1", false, controlsOf<&MainView::zoneFrame>},
    {"Frame2", false, controlsOf<&MainView::hemisphereFrame>},
    {"Option1", false, controlsOf<&MainView::northOption>},
    {"Option2", false, controlsOf<&MainView::southOption>},
    {"Label4", false, controlsOf<&MainView::northLegend>},
    {"Label5", false, controlsOf<&MainView::halfHourLegend>},
    {"Label6", false, controlsOf<&MainView::southLegend>},
    {"Label7", false, controlsOf<&MainView::utHeading>},
    {"Label8", false, controlsOf<&MainView::meanTimeHeading>},
    {"Label9", false, controlsOf<&MainView::siderealHeading>},
};

template <class Fn> void MainView::forEachControl(Fn&& fn) {
    for (const NamedControls& named : kMainControls) {
        const std::span<ControlView> controls = named.controls(*this);
        for (std::size_t k = 0; k < controls.size(); ++k)
            // Appended, not "(" + string: GCC 12's -O3 inlining warns falsely on that
            // (-Wstringop-overflow, -Wrestrict), and `make run` builds at -O3.
            fn(named.indexed ? std::string(named.name).append(1, '(').append(std::to_string(k)).append(1, ')')
                             : std::string(named.name),
               controls[k]);
    }
}

// The name of one of the main window's controls.
inline std::string controlName(MainView& v, const ControlView& control) {
    std::string found;
    v.forEachControl([&](const std::string& name, const ControlView& c) {
        if (&c == &control) found = name;
    });
    return found;
}

// The other windows, each with the names of its controls.
struct HelpNames {
    const char* form = "Form2";
    const char* text = "RichTextBox1";
    const char* ok = "SSCommand1";
};
struct PictureNames {
    const char* startupForm = "Form4";
    const char* infoForm = "Form3";
    const char* image = "Image1";
    const char* title = "Label1";
    const char* ok = "SSCommand1";
};
struct ZoneEditorNames {
    const char* zonesForm = "Form5";
    const char* classesForm = "Form6";
    const char* nameBox = "Text2";                 // indexed by row
    const char* valueBox = "Text1";                // indexed by row
    const char* salva = "SSCommand1";
    const char* annulla = "SSCommand2";
    const char* esci = "SSCommand3";
};
struct DateCharsNames {
    const char* form = "Form8";
    const char* firstLabel = "Label1";
    const char* firstBox = "Text1";
    const char* secondLabel = "Label2";
    const char* secondBox = "Text2";
    const char* defaultButton = "SSCommand3";
    const char* annulla = "SSCommand1";
    const char* ok = "SSCommand2";
};
struct ParamsNames {
    const char* form = "Form9";
    const char* latitudeLabel = "Label1";
    const char* longitudeLabel = "Label2";
    // Latitude degrees and minutes, then longitude's.
    const char* boxes[4] = {"Text1", "Text2", "Text3", "Text4"};
    const char* halfHourFrame = "Frame1";
    const char* halfHourYes = "Option1";
    const char* halfHourNo = "Option2";
    const char* autoDstFrame = "Frame2";
    const char* autoDstBox = "Check1";
    const char* annulla = "SSCommand1";
    const char* ok = "SSCommand2";
};
struct RuleNames {
    const char* form = "Form10";
    const char* frames[2] = {"Frame1", "Frame2"};  // start, end
    // Month, week and weekday of the start, then of the end: the labels of
    // the end are numbered backwards.
    const char* labels[6] = {"Label1", "Label2", "Label3", "Label6", "Label5", "Label4"};
    const char* lists[6] = {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5", "Combo6"};
    const char* annulla = "SSCommand1";
    const char* applica = "SSCommand3";
    const char* ok = "SSCommand2";
};

inline constexpr HelpNames kHelpNames;
inline constexpr PictureNames kPictureNames;
inline constexpr ZoneEditorNames kZoneEditorNames;
inline constexpr DateCharsNames kDateCharsNames;
inline constexpr ParamsNames kParamsNames;
inline constexpr RuleNames kRuleNames;

} // namespace vemar
