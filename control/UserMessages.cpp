#include "control/UserMessages.h"

#include <cstdio>

namespace {

void OnConsole(const std::string& message) {
    std::fprintf(stderr, "tappora: %s\n", message.c_str());
}

} // namespace

std::string Paragraphs(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) {
        joined += (joined.empty() ? "" : "\n\n") + text;
    }
    return joined;
}

// Escape, or the box's close button, must never lose the changes: they mean try again.
TUnsavedChoice TUserMessages::AskUnsaved(const std::string& problem) {
    OnConsole(problem);
    const int answer = m_view.ask({"Tappora",
                                   problem + "\n\nYour changes are not saved yet.",
                                   TMessageIcon::Warning,
                                   {"&Try Again", "&Save List As...", "&Quit Without Saving"},
                                   0,
                                   0});
    switch (answer) {
    case kNoAnswer:
        return TUnsavedChoice::NoAnswer;
    case 1:
        return TUnsavedChoice::SaveListElsewhere;
    case 2:
        return TUnsavedChoice::QuitWithoutSaving;
    default:
        return TUnsavedChoice::TryAgain;
    }
}

TRecoveredChoice TUserMessages::AskRestore(const std::string& path) {
    const int answer =
        m_view.ask({"Tappora",
                    "When Tappora last ended, the click list could not be saved, so it was kept in\n" + path +
                        "\n\nRestore that list now? It replaces the list Tappora has just loaded.",
                    TMessageIcon::Question,
                    {"&Restore", "&Keep for Later", "&Discard"},
                    0,
                    1});
    switch (answer) {
    case 0:
        return TRecoveredChoice::Restore;
    case 2:
        return TRecoveredChoice::Discard;
    default:
        return TRecoveredChoice::KeepForLater;
    }
}

void TUserMessages::TellLater(const std::string& message) {
    OnConsole(message);
    m_view.showFileMessage(message);
}

void TUserMessages::Tell(const std::string& caption, TMessageIcon icon, const std::vector<std::string>& messages,
                         bool userPresent) {
    if (messages.empty()) {
        return;
    }
    for (const std::string& message : messages) {
        OnConsole(message);
    }
    if (userPresent) {
        m_view.ask({caption, Paragraphs(messages), icon, {"OK"}, 0, 0});
    }
}

void TUserMessages::TellDroppedError(const std::string& what) {
    if (m_toldErrors.insert(what).second) {
        OnConsole(what);
    }
}
