#include "ui/dialogs/ruledialog.h"
#include "core/controlnames.h"
#include "core/program.h"
#include "core/texts.h"
#include "ui/dialogs/dialogkeys.h"
#include "ui/dialogs/openlistcombobox.h"
#include "ui/widgets/twips.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace vemar::ui {

namespace {

constexpr int kClientWidth = 6150;   // twips
constexpr int kClientHeight = 2505;
constexpr int kListHeight = 315;

// A closed list is painted as a button and its open popup as a view: both
// take the list's colours, and the highlighted entry the inverse.
void colourList(QComboBox* list, const ControlView& view) {
    const QColor text = toQColor(view.textColour), back = toQColor(view.backColour);
    QPalette p = list->palette();
    for (auto role : {QPalette::Button, QPalette::Base, QPalette::Window}) p.setColor(role, back);
    for (auto role : {QPalette::ButtonText, QPalette::Text, QPalette::WindowText}) p.setColor(role, text);
    p.setColor(QPalette::Highlight, text);
    p.setColor(QPalette::HighlightedText, back);
    list->setPalette(p);
    list->view()->setPalette(p);
}

} // namespace

RuleDialog::RuleDialog(Program& program, QWidget* parent)
    : QDialog(parent), logic_(program) {
    setObjectName(kRuleNames.form);
    setFixedSize(px(kClientWidth), px(kClientHeight));
    buildControls();
    logic_.load();
    render();
}

void RuleDialog::buildControls() {
    const RuleView& v = logic_.view();
    binder_.bind(this, &v.form);

    QGroupBox* frames[2] = {place(new QGroupBox(this), kRuleNames.frames[0], 120, 120, 5895, 855),
                            place(new QGroupBox(this), kRuleNames.frames[1], 120, 1080, 5895, 855)};
    binder_.bind(frames[0], &v.startFrame);
    binder_.bind(frames[1], &v.endFrame);

    // Month, week and weekday across each frame.
    struct Column { int labelLeft, listLeft, listWidth; };
    constexpr Column kColumns[3] = {{120, 720, 1215}, {2160, 3120, 495}, {3840, 4560, 1215}};
    for (int i = 0; i < kRuleLists; ++i) {
        QGroupBox* frame = frames[i / 3];
        const Column& c = kColumns[i % 3];
        auto* label = place(new QLabel(frame), kRuleNames.labels[i],
                            c.labelLeft, 360, c.listLeft - c.labelLeft, 255);
        binder_.bind(label, &v.label[i]);
        auto* list = place(new OpenListComboBox(frame), kRuleNames.lists[i],
                           c.listLeft, 330, c.listWidth, kListHeight);
        for (int entry = 0; entry < RuleListSize(i); ++entry) list->addItem(qs(RuleListEntry(i, entry)));
        colourList(list, v.combo[i]);
        combos_[i] = list;
        // activated: a choice of the user's, never a selection set by code.
        connect(list, &QComboBox::activated, this, [this, i](int index) {
            logic_.select(i, index);
            render();
        });
    }

    auto* cancel = place(new QPushButton(this), kRuleNames.annulla, 120, 2040, 1335, 375);
    auto* apply = place(new QPushButton(this), kRuleNames.applica, 2400, 2040, 1335, 375);
    auto* ok = place(new QPushButton(this), kRuleNames.ok, 4680, 2040, 1335, 375);
    binder_.bind(cancel, &v.annullaButton);
    binder_.bind(apply, &v.applicaButton);
    binder_.bind(ok, &v.okButton);
    connect(cancel, &QPushButton::clicked, this, [this] {
        logic_.cancelClick();
        close();
    });
    connect(apply, &QPushButton::clicked, this, [this] {
        logic_.applyClick();
        render();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        if (logic_.okClick()) close();
        else render();
    });
    DialogKeys::install(this, ok, cancel);
}

void RuleDialog::render() {
    binder_.render();
    for (int i = 0; i < kRuleLists; ++i) {
        QComboBox* list = combos_[i];
        const ControlView& view = logic_.view().combo[i];
        if (list->accessibleName() != qs(view.accessibleName)) {
            list->setAccessibleName(qs(view.accessibleName));
            list->view()->setAccessibleName(qs(view.accessibleName));   // the open list, as the screen reader meets it
        }
        if (list->accessibleDescription() != qs(view.accessibleDescription))
            list->setAccessibleDescription(qs(view.accessibleDescription));
        if (list->currentIndex() == logic_.view().selected[i]) continue;
        const QSignalBlocker quiet(list);
        list->setCurrentIndex(logic_.view().selected[i]);
    }
}

} // namespace vemar::ui
