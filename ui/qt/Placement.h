#pragma once

class QWidget;

// Puts the window at the centre of the primary screen's free area, as its designed placement asks.
void centreOnDesktop(QWidget& window);
