#include "ui/dialogs/zoneeditordialog.h"
#include "core/controlnames.h"
#include "core/program.h"
#include "ui/widgets/filteredbox.h"
#include "ui/widgets/twips.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QCompleter>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>

#include <algorithm>
#include <utility>

namespace vemar::ui {

namespace {

// The grid in twips: four columns of name and value boxes, 14 rows to a
// column (the last holds 12), the three buttons under the short column.
constexpr int kClientWidth = 9990;
constexpr int kClientHeight = 6600;
constexpr int kRowsPerColumn = 14;
constexpr int kNameLefts[] = {70, 2620, 5140, 7650};
constexpr int kValueLefts[] = {1800, 4330, 6840, 9360};
constexpr int kNameWidth = 1575;
constexpr int kValueWidth = 540;
constexpr int kBoxHeight = 300;
constexpr int kFirstTop = 120;
constexpr int kRowPitch = 465;
constexpr int kButtonWidth = 1095;
constexpr int kButtonHeight = 375;

} // namespace

ZoneEditorDialog::ZoneEditorDialog(Program& program, EditorVariant variant, QWidget* parent)
    : QDialog(parent), editor_(program, variant) {
    setObjectName(variant == EditorVariant::Zones ? kZoneEditorNames.zonesForm : kZoneEditorNames.classesForm);
    setFixedSize(px(kClientWidth), px(kClientHeight));
    binder_.bind(this, &editor_.view().form);
    buildBoxes();
    buildButtons();
    if (variant == EditorVariant::Zones) {
        // Not the boxes' own completer: QLineEdit would write the highlighted
        // suggestion into the box, behind the core's back.
        suggestions_ = new QStandardItemModel(this);
        completer_ = new QCompleter(suggestions_, this);
        completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
        completer_->setMaxVisibleItems(10);
        connect(completer_, qOverload<const QModelIndex&>(&QCompleter::activated), this, [this](const QModelIndex& index) {
            editor_.chooseSuggestion(editor_.suggestionsRow(), static_cast<std::size_t>(index.row()));
            binder_.render();
        });
    }
    editor_.open();
    binder_.render();
}

void ZoneEditorDialog::buildBoxes() {
    const ZoneEditorView& v = editor_.view();
    for (int row = 0; row < kZoneRows; ++row) {
        const int column = row / kRowsPerColumn;
        const int top = kFirstTop + (row % kRowsPerColumn) * kRowPitch;
        auto* name = new QLineEdit(this);
        place(name, indexed(kZoneEditorNames.nameBox, row), kNameLefts[column], top, kNameWidth, kBoxHeight);
        name->setMaxLength(ZoneEditorLogic::kNameLength);
        auto* value = new QLineEdit(this);
        place(value, indexed(kZoneEditorNames.valueBox, row), kValueLefts[column], top, kValueWidth, kBoxHeight);
        if (editor_.valueLength() > 0) value->setMaxLength(editor_.valueLength());
        binder_.bind(name, &v.nameBoxes[row]);
        binder_.bind(value, &v.valueBoxes[row]);
        // textEdited: the user's typing only; the boxes the editor fills
        // itself have been through its filter already.
        connect(name, &QLineEdit::textEdited, this,
                [this, name, row](const QString& text) { boxEdited(name, text, true, row); });
        connect(value, &QLineEdit::textEdited, this,
                [this, value, row](const QString& text) { boxEdited(value, text, false, row); });
        names_[row] = name;
        values_[row] = value;
    }
    // The value boxes first, then the names, as the user fills a column of offsets.
    QWidget* previous = values_[0];
    for (int row = 1; row < kZoneRows; ++row) setTabOrder(std::exchange(previous, values_[row]), values_[row]);
    for (int row = 0; row < kZoneRows; ++row) setTabOrder(std::exchange(previous, names_[row]), names_[row]);
}

void ZoneEditorDialog::buildButtons() {
    const ZoneEditorView& v = editor_.view();
    struct Button { const char* name; const ControlView* view; int left, top; };
    const Button buttons[] = {
        {kZoneEditorNames.salva, &v.salvaButton, 7560, 5640},
        {kZoneEditorNames.annulla, &v.annullaButton, 8800, 5640},
        {kZoneEditorNames.esci, &v.esciButton, 7560, 6120},
    };
    QPushButton* made[3] = {};
    for (int i = 0; i < 3; ++i) {
        made[i] = new QPushButton(this);
        place(made[i], buttons[i].name, buttons[i].left, buttons[i].top, kButtonWidth, kButtonHeight);
        made[i]->setAutoDefault(false);   // Enter in a box must not press a button
        binder_.bind(made[i], buttons[i].view);
    }
    connect(made[0], &QPushButton::clicked, this, [this] {
        editor_.salva();
        binder_.render();
    });
    connect(made[1], &QPushButton::clicked, this, [this] {
        editor_.annulla();
        binder_.render();
    });
    connect(made[2], &QPushButton::clicked, this, &QWidget::close);
}

// The box shows what the editor kept, even when that equals what it showed
// before the keystroke (the binder is told to redraw it).
void ZoneEditorDialog::boxEdited(QLineEdit* box, const QString& text, bool isName, int row) {
    editFiltered(box, text, [&] {
        if (isName) editor_.nameChanged(row, text.toStdString());
        else editor_.valueChanged(row, text.toStdString());
        binder_.retypeCaption(box);
        binder_.render();
    });
    if (isName && completer_) offerSuggestions(box);
}

void ZoneEditorDialog::offerSuggestions(QLineEdit* box) {
    suggestions_->clear();
    for (const Suggestion& s : editor_.suggestions()) suggestions_->appendRow(new QStandardItem(qs(s.text)));
    QAbstractItemView* list = completer_->popup();
    if (suggestions_->rowCount() == 0) return list->hide();
    completer_->setWidget(box);
    // As wide as the longest suggestion, which says more than the box holds.
    const int width = list->sizeHintForColumn(0) + 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width();
    completer_->complete(QRect(0, 0, std::max(width, box->width()), box->height()));
}

// True once the editor's closing has run through; QDialog's own close event
// comes back through reject(), which then finds it done.
bool ZoneEditorDialog::finish() {
    if (!finished_) finished_ = editor_.close();
    binder_.render();
    return finished_;
}

void ZoneEditorDialog::closeEvent(QCloseEvent* event) {
    if (!finish()) return event->ignore();
    QDialog::closeEvent(event);
}

void ZoneEditorDialog::reject() {
    if (finish()) QDialog::reject();
}

} // namespace vemar::ui
