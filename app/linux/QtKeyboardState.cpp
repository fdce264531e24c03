#include "app/linux/QtKeyboardState.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

void keepPointerButtonsOutOfQtKeyboardState() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr)
        return;
    XkbSelectEventDetails(x11->display(), XkbUseCoreKbd, XkbStateNotify, XkbAllStateComponentsMask,
                          XkbAllStateComponentsMask & ~XkbPointerButtonMask);
    XFlush(x11->display());
}
