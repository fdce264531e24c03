#pragma once

// Qt's X connection asks to hear of every change of the keyboard's state, and to the X keyboard extension the
// pointer's buttons are part of that state: every press and release the program sends would wake Qt's event reader
// and then the event loop, for nothing Qt reads (it follows modifiers and the layout group). Narrows Qt's requests to
// those; on any other window system it does nothing. Call it once the application exists.
void keepPointerButtonsOutOfQtKeyboardState();
