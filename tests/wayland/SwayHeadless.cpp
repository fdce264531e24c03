#include "SwayHeadless.h"

#include "TempFolder.h"

#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace {
constexpr auto startTimeout = std::chrono::seconds(30);
constexpr auto pollInterval = std::chrono::milliseconds(20);

std::string outputName(std::size_t index) {
    return "HEADLESS-" + std::to_string(index + 1);
}

std::string configuration(const SwayOptions& options) {
    std::ostringstream config;
    config << "default_border none\ndefault_floating_border none\nxwayland disable\n";
    for (std::size_t i = 0; i < options.outputs.size(); ++i) {
        const SwayOutputMode& mode = options.outputs[i];
        config << "output " << outputName(i) << " resolution " << mode.width << 'x' << mode.height << " position "
               << mode.x << ' ' << mode.y << " scale " << mode.scale << '\n';
    }
    for (const std::string& line : options.configLines)
        config << line << '\n';
    return config.str();
}

fs::path makePrivateFolder(const fs::path& path) {
    fs::create_directory(path);
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

// The Wayland socket sway opened in its runtime folder ("wayland-1"), or nothing yet.
std::optional<std::string> waylandSocketIn(const fs::path& runtime) {
    for (const auto& entry : fs::directory_iterator(runtime)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("wayland-") && entry.is_socket())
            return name;
    }
    return std::nullopt;
}

// The objects of the top-level JSON array, as text.
std::vector<std::string> topLevelObjects(const std::string& json) {
    std::vector<std::string> objects;
    int depth = 0;
    bool inString = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' && depth++ == 0) {
            start = i;
        } else if (c == '}' && --depth == 0) {
            objects.push_back(json.substr(start, i + 1 - start));
        }
    }
    return objects;
}

std::optional<SwayOutput> activeOutput(const std::string& object) {
    static const std::regex active(R"("active": true)");
    static const std::regex name(R"re("name": "([^"]*)")re");
    static const std::regex rect(R"("rect": \{\s*"x": (-?\d+),\s*"y": (-?\d+),\s*"width": (\d+),\s*"height": (\d+))");
    static const std::regex scale(R"("scale": ([0-9.]+))");
    std::smatch nameMatch, rectMatch, scaleMatch;
    if (!std::regex_search(object, active) || !std::regex_search(object, nameMatch, name) ||
        !std::regex_search(object, rectMatch, rect) || !std::regex_search(object, scaleMatch, scale))
        return std::nullopt;
    return SwayOutput{
        nameMatch[1],
        {std::stoi(rectMatch[1]), std::stoi(rectMatch[2]), std::stoi(rectMatch[3]), std::stoi(rectMatch[4])},
        std::stod(scaleMatch[1])};
}

// A binary PPM image ("P6", 8 bits a channel), as grim writes it.
ScreenPixels decodePpm(const std::string& image) {
    std::istringstream in(image);
    std::string magic;
    ScreenPixels screen;
    int maximum = 0;
    in >> magic >> screen.width >> screen.height >> maximum;
    in.get();
    const std::size_t count = static_cast<std::size_t>(screen.width) * screen.height;
    const std::size_t start = static_cast<std::size_t>(in.tellg());
    if (!in || magic != "P6" || maximum != 255 || image.size() - start != count * 3)
        throw std::runtime_error("grim did not give a PPM image");
    for (std::size_t i = 0; i < count; ++i) {
        const auto channel = [&](std::size_t c) { return static_cast<std::uint8_t>(image[start + i * 3 + c]); };
        screen.pixels.push_back(static_cast<std::uint32_t>(channel(0)) << 16 | channel(1) << 8 | channel(2));
    }
    return screen;
}
} // namespace

SwayHeadless::SwayHeadless(const SwayOptions& options)
    : m_folder(makePrivateFolder(makeTempFolder("tappora-sway"))), m_runtime(makePrivateFolder(m_folder / "runtime")) {
    const fs::path config = m_folder / "sway.config";
    writeWholeFile(config, configuration(options));
    for (const char* folder : {"home", "config", "state"})
        fs::create_directory(m_folder / folder);
    m_environment = {{"XDG_RUNTIME_DIR", m_runtime.string()},
                     {"HOME", (m_folder / "home").string()},
                     {"XDG_CONFIG_HOME", (m_folder / "config").string()},
                     {"XDG_STATE_HOME", (m_folder / "state").string()}};
    m_user.own(m_folder);
    try {
        if (options.sessionBus)
            startSessionBus();
        Environment swayEnvironment = m_environment;
        swayEnvironment.insert(swayEnvironment.end(),
                               {{"WLR_BACKENDS", "headless"},
                                {"WLR_RENDERER", "pixman"},
                                {"WLR_LIBINPUT_NO_DEVICES", "1"},
                                {"WLR_HEADLESS_OUTPUTS", std::to_string(options.outputs.size())}});
        m_sway = std::make_unique<UserProcess>(m_user, swayEnvironment,
                                               std::vector<std::string>{"sway", "--config", config.string()},
                                               m_folder / "sway.log");
        waitUntilRunning(options.outputs.size());
    } catch (...) {
        m_sway.reset();
        m_sessionBus.reset();
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
        throw;
    }
}

SwayHeadless::~SwayHeadless() {
    m_sway.reset();
    m_sessionBus.reset();
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
}

// dbus-daemon prints its address once it listens there.
void SwayHeadless::startSessionBus() {
    std::string address = "unix:path=";
    address += (m_runtime / "bus").string();
    std::string listen = "--address=";
    listen += address;
    m_sessionBus = std::make_unique<UserProcess>(
        m_user, m_environment,
        std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address", listen});
    if (!m_sessionBus->readLine(startTimeout))
        throw std::runtime_error("dbus-daemon did not start a session bus");
    m_environment.emplace_back("DBUS_SESSION_BUS_ADDRESS", address);
}

void SwayHeadless::waitUntilRunning(std::size_t outputCount) {
    const auto deadline = std::chrono::steady_clock::now() + startTimeout;
    const auto failed = [this](const std::string& what) { return std::runtime_error(what + "; its log:\n" + log()); };
    const fs::path ipcSocket =
        m_runtime / ("sway-ipc." + std::to_string(m_user.uid()) + "." + std::to_string(m_sway->pid()) + ".sock");
    std::optional<std::string> waylandSocket;
    while (!waylandSocket || !fs::is_socket(ipcSocket)) {
        if (m_sway->waitForExit(std::chrono::milliseconds(0)) || m_sway->pid() < 0)
            throw failed("sway ended at its start");
        if (std::chrono::steady_clock::now() > deadline)
            throw failed("sway opened no sockets");
        std::this_thread::sleep_for(pollInterval);
        waylandSocket = waylandSocketIn(m_runtime);
    }
    m_environment.emplace_back("WAYLAND_DISPLAY", *waylandSocket);
    m_environment.emplace_back("SWAYSOCK", ipcSocket.string());
    const auto outputsUp = [this, outputCount] {
        try {
            return outputs().size() >= outputCount;
        } catch (const std::runtime_error&) {
            return false; // the IPC socket is there but not listening yet
        }
    };
    while (!outputsUp()) {
        if (std::chrono::steady_clock::now() > deadline)
            throw failed("sway did not bring up its " + std::to_string(outputCount) + " outputs");
        std::this_thread::sleep_for(pollInterval);
    }
}

std::string SwayHeadless::swaymsg(const std::vector<std::string>& arguments) const {
    std::vector<std::string> command{"swaymsg"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    CommandResult result = run(command);
    if (result.exitStatus != 0)
        throw std::runtime_error("swaymsg failed: " + result.output);
    return result.output;
}

std::vector<SwayOutput> SwayHeadless::outputs() const {
    std::vector<SwayOutput> outputs;
    for (const std::string& object : topLevelObjects(swaymsg({"-t", "get_outputs"})))
        if (auto output = activeOutput(object))
            outputs.push_back(std::move(*output));
    return outputs;
}

ScreenPixels SwayHeadless::screenshot(const TRect& rect) const {
    std::string geometry = std::to_string(rect.left) + "," + std::to_string(rect.top);
    geometry += ' ';
    geometry += std::to_string(rect.width) + "x" + std::to_string(rect.height);
    const CommandResult result = run({"grim", "-g", geometry, "-t", "ppm", "-"});
    if (result.exitStatus != 0)
        throw std::runtime_error("grim failed for " + geometry);
    return decodePpm(result.output);
}

std::string SwayHeadless::log() const {
    std::ifstream in(m_folder / "sway.log");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
