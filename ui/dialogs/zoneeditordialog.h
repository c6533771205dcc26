#pragma once
// "Tabella Fusi" and "Tabella Tipi": the 54 rows of the zone
// table in four columns. The window shows the core editor's view and
// forwards every keystroke and click to it.

#include "core/dialogs/zoneeditorlogic.h"
#include "ui/widgets/viewbinder.h"

#include <QDialog>

#include <array>

class QCompleter;
class QLineEdit;
class QStandardItemModel;

namespace vemar {
class Program;
}

namespace vemar::ui {

using EditorVariant = ZoneEditorLogic::Variant;   // Zones: "Tabella Fusi", Classes: "Tabella Tipi"

class ZoneEditorDialog : public QDialog {
    Q_OBJECT
public:
    ZoneEditorDialog(Program& program, EditorVariant variant, QWidget* parent = nullptr);

    // Esc ends the dialog here without a close event: both ways out run the
    // editor's closing, and a save that fails in it keeps the dialog open.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildBoxes();
    void buildButtons();
    void boxEdited(QLineEdit* box, const QString& text, bool isName, int row);
    // The names the core offers for what was typed, in a list under the box;
    // the box's text changes only when one is chosen.
    void offerSuggestions(QLineEdit* box);
    bool finish();

    ZoneEditorLogic editor_;
    ViewBinder binder_;
    std::array<QLineEdit*, kZoneRows> names_{};
    std::array<QLineEdit*, kZoneRows> values_{};
    bool finished_ = false;
    QCompleter* completer_ = nullptr;
    QStandardItemModel* suggestions_ = nullptr;
};

} // namespace vemar::ui
