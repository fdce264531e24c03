#pragma once

#include <xcb/xcb.h>

#include <cstdlib>

// An XCB reply and its error, both freed when it goes.
template <class TReply> struct XcbReply {
    TReply* reply = nullptr;
    xcb_generic_error_t* error = nullptr;
    XcbReply() = default;
    XcbReply(const XcbReply&) = delete;
    XcbReply& operator=(const XcbReply&) = delete;
    ~XcbReply() {
        std::free(reply);
        std::free(error);
    }
    bool ok() const { return reply != nullptr && error == nullptr; }
};
