#include "ConsentAnswer.h"

#include <string>

ConsentAnswer::ConsentAnswer(const GnomeHeadless& gnome, Choice choice)
    : m_process(gnome.user(), gnome.environment(),
                {"python3", TAPPORA_ANSWER_CONSENT, choice == allow ? "allow" : "refuse", "600"}) {}

bool ConsentAnswer::answered(std::chrono::milliseconds timeout) {
    return m_process.readLine(timeout).value_or("").starts_with("answered") && m_process.waitForExit(timeout) == 0;
}
