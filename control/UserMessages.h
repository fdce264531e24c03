#pragma once

#include "control/ClickListView.h"

#include <set>
#include <string>
#include <vector>

// What the user is told and asked, and how. Every message goes to the console; a box only when someone is there to
// close it, and never one that holds up the caller of a list change. An error that recurs at every tick is told
// once.
class TUserMessages {
public:
    explicit TUserMessages(IClickListView& view) : m_view(view) {}

    TUnsavedChoice AskUnsaved(const std::string& problem);
    TRecoveredChoice AskRestore(const std::string& path);
    // In a box shown later, from the window's own queue.
    void TellLater(const std::string& message);
    // In a box now when the user is there.
    void Tell(const std::string& caption, TMessageIcon icon, const std::vector<std::string>& messages,
              bool userPresent);
    // On the console only, the first time each text comes.
    void TellDroppedError(const std::string& what);

private:
    IClickListView& m_view;
    std::set<std::string> m_toldErrors;
};

// The texts as paragraphs of one message.
std::string Paragraphs(const std::vector<std::string>& texts);
