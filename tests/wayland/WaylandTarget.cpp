#include "WaylandTarget.h"

#include <cstdio>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace {
std::string hexColour(std::uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

std::vector<std::string> targetCommand(const WaylandScene& scene) {
    std::vector<std::string> command{TAPPORA_WAYLAND_TARGET, "--background", hexColour(scene.background)};
    if (!scene.output.empty()) {
        command.emplace_back("--output");
        command.push_back(scene.output);
    }
    for (const WaylandScene::Rect& rect : scene.rects) {
        std::ostringstream value;
        value << rect.place.left << ',' << rect.place.top << ',' << rect.place.width << ',' << rect.place.height << ','
              << hexColour(rect.colour);
        command.emplace_back("--rect");
        command.push_back(value.str());
    }
    if (!scene.picture.empty()) {
        std::ostringstream value;
        value << scene.picturePlace.x << ',' << scene.picturePlace.y << ',' << scene.picture.string();
        command.emplace_back("--picture");
        command.push_back(value.str());
    }
    if (scene.animate)
        command.emplace_back("--animate");
    return command;
}
} // namespace

std::ostream& operator<<(std::ostream& out, const PointerButton& event) {
    return out << "button " << event.button << (event.pressed ? " pressed " : " released ") << event.x << ' '
               << event.y;
}

WaylandTarget::WaylandTarget(const WaylandSession& session, const WaylandScene& scene)
    : m_process(session.user(), session.environment(), targetCommand(scene)) {}

TSize WaylandTarget::waitReady(std::chrono::milliseconds timeout) {
    const std::optional<std::string> line = m_process.readLine(timeout);
    TSize size;
    std::string word;
    std::istringstream in(line.value_or(""));
    if (!(in >> word >> size.width >> size.height) || word != "ready")
        throw std::runtime_error("the Wayland target did not come up: " + line.value_or("no answer"));
    return size;
}

std::optional<PointerButton> WaylandTarget::nextButton(std::chrono::milliseconds timeout) {
    const std::optional<std::string> line = m_process.readLine(timeout);
    if (!line)
        return std::nullopt;
    PointerButton event;
    std::string word, state;
    std::istringstream in(*line);
    if (!(in >> word >> event.button >> state >> event.x >> event.y) || word != "button")
        throw std::runtime_error("the Wayland target said: " + *line);
    event.pressed = state == "pressed";
    return event;
}
