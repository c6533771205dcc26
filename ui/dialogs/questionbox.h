#pragma once
// The program's Yes/No question box, the one the user sees and the one the
// snapshot driver describes: its buttons read as Qt's Italian translation
// gives them.

#include <QMessageBox>
#include <QStringList>
#include <memory>

namespace vemar::ui {

std::unique_ptr<QMessageBox> makeQuestionBox(const QString& text, const QString& title, QWidget* parent);

// The buttons' texts as shown, without the mnemonic marks: "Sì", "No".
QStringList buttonTexts(const QMessageBox& box);

} // namespace vemar::ui
