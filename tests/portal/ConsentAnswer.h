#pragma once

// Answers the next "Remote desktop" consent dialog of a GnomeHeadless desktop as a person would, in the background
// (answer-consent.py, through the accessibility bus): allow switches "Allow remote interaction" on and presses Share,
// refuse presses Cancel. Start it before the dialog comes; it waits for it. Stopped when the object goes.
//
//     ConsentAnswer consent(gnome, ConsentAnswer::allow);
//     ... RemoteDesktop.Start ...
//     ASSERT_TRUE(consent.answered());

#include "GnomeHeadless.h"
#include "UserProcess.h"

#include <chrono>

class ConsentAnswer {
public:
    enum Choice { allow, refuse };

    ConsentAnswer(const GnomeHeadless& gnome, Choice choice);

    // Whether the dialog came and was answered within `timeout`; when not, the script says why in the test's output.
    bool answered(std::chrono::milliseconds timeout = std::chrono::seconds(60));

private:
    UserProcess m_process;
};
