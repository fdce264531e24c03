#include "control/FakeClickListView.h"

#include "model/MouseObj.h"

#include <algorithm>

namespace {

class FakeClickEditor : public IClickEditor {
public:
    FakeClickEditor(const FakeEditorScript& script, std::vector<FakeEditorUse>& uses)
        : fScript(script), fUses(uses), fUse(uses.size()) {
        fUses.emplace_back();
    }
    void setCaption(const std::string& caption) override { fUses[fUse].caption = caption; }
    void LoadFromClick(TMouseObj& click) override { fUses[fUse].loaded = &click; }
    int ShowModal() override {
        if (fScript.whileShown) {
            fScript.whileShown();
        }
        return fScript.result;
    }
    void SaveToClick(TMouseObj& click) override {
        if (fScript.save) {
            fScript.save(click);
        }
        fUses[fUse].saved = &click;
    }

private:
    FakeEditorScript fScript;
    std::vector<FakeEditorUse>& fUses;
    std::size_t fUse;
};

class FakeOptionsDialog : public IOptionsDialog {
public:
    explicit FakeOptionsDialog(FakeClickListView& view) : fView(view) {}
    void showChoices(const TOptionsChoices& choices) override {
        fView.optionsOffered = choices;
        fChoices = choices;
    }
    int ShowModal() override {
        if (fView.whileOptionsShown) {
            fView.whileOptionsShown();
        }
        if (fView.optionsChange) {
            fView.optionsChange(fChoices);
        }
        return fView.optionsResult;
    }
    TOptionsChoices choices() const override { return fChoices; }

private:
    FakeClickListView& fView;
    TOptionsChoices fChoices;
};

} // namespace

void FakeClickListView::setWindowBounds(const TRect& value) {
    bounds = value;
    maximized = false;
}

void FakeClickListView::clearColumns() {
    columns.clear();
    displayOrder.clear();
}

void FakeClickListView::addColumn(const std::string& caption) {
    displayOrder.push_back(static_cast<int>(columns.size()));
    columns.push_back({caption});
}

void FakeClickListView::setColumnAlignment(int column, TColumnAlignment alignment) {
    columns.at(column).alignment = alignment;
}

int FakeClickListView::columnPosition(int column) const {
    const auto found = std::find(displayOrder.begin(), displayOrder.end(), column);
    return static_cast<int>(found - displayOrder.begin());
}

void FakeClickListView::setColumnPosition(int column, int position) {
    displayOrder.erase(displayOrder.begin() + columnPosition(column));
    const int place = std::clamp(position, 0, static_cast<int>(displayOrder.size()));
    displayOrder.insert(displayOrder.begin() + place, column);
}

bool FakeClickListView::confirmDelete() {
    ++deleteQuestions;
    if (whileAskingDelete) {
        whileAskingDelete();
    }
    return deleteAnswer;
}

std::unique_ptr<IClickEditor> FakeClickListView::createClickEditor(const std::vector<int>& hotKeysHeldElsewhere) {
    editorHotKeysHeldElsewhere = hotKeysHeldElsewhere;
    return std::make_unique<FakeClickEditor>(editorScript, editorUses);
}

std::unique_ptr<IOptionsDialog> FakeClickListView::createOptionsDialog() {
    ++optionsShown;
    return std::make_unique<FakeOptionsDialog>(*this);
}

std::vector<std::string> FakeClickListView::shownCaptions() const {
    std::vector<std::string> captions;
    for (const int column : displayOrder) {
        captions.push_back(columns.at(column).caption);
    }
    return captions;
}

int FakeClickListView::ask(const TQuestion& question) {
    questions.push_back(question);
    if (question.buttons.front() == "&Try Again") {
        unsavedQuestions.push_back(question.text);
        if (whileAskingUnsaved) {
            whileAskingUnsaved();
        }
        if (unsavedAnswers.empty()) {
            return kNoAnswer;
        }
        const TUnsavedChoice answer = unsavedAnswers.front();
        unsavedAnswers.pop_front();
        return answer == TUnsavedChoice::NoAnswer ? kNoAnswer : static_cast<int>(answer);
    }
    if (question.buttons.front() == "&Restore") {
        // The path stands on a line of its own.
        const std::size_t start = question.text.find('\n') + 1;
        restoreQuestions.push_back(question.text.substr(start, question.text.find('\n', start) - start));
        return static_cast<int>(restoreAnswer);
    }
    return 0;
}
