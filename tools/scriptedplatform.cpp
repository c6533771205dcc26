#include "scriptedplatform.h"

#include "ui/dialogs/questionbox.h"
#include "ui/support/viewbinder.h"

#include <cstdio>

namespace vemar::ui {

bool ScriptedPlatform::askYesNo(const std::string& text, const std::string& title) {
    bool answer = false;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    // The box is made as the program makes it, but never shown.
    const auto box = makeQuestionBox(qs(text), qs(title), nullptr);
    std::vector<std::string> buttons;
    for (const QString& b : buttonTexts(*box)) buttons.push_back(b.toStdString());
    effects.push_back({"question", {}, text, title, {}, answer, buttons});
    return answer;
}

void ScriptedPlatform::fatalFileError(const std::string& file, const std::string& message) {
    std::fprintf(stderr, "vemar: %s: %s\n", file.c_str(), message.c_str());
    effects.push_back({"fatal", file, {}, {}, message, false, {}});
}

int ScriptedPlatform::count(const std::string& kind) const {
    int n = 0;
    for (const auto& e : effects) n += e.kind == kind;
    return n;
}

} // namespace vemar::ui
