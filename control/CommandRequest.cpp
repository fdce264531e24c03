#include "control/CommandRequest.h"

#include "control/OutputText.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>

namespace {

// Names the format, so that anything else that connects is refused on its first bytes.
const std::string_view kRequestMagic = "TAPPORA/1";
const std::string_view kAnswerMagic = "TAPPORA/1 ";
const char kSeparator = '\t';
const char kLineEnd = '\n';
const char kEscape = '\\';

TCommandAnswer BadUsage(std::string why) {
    return {TExitCode::kBadUsage, {PrintableText(why)}};
}

TParsedArguments Refused(std::string why) {
    return {std::nullopt, BadUsage(std::move(why))};
}

TParsedArguments Parsed(TCommandVerb verb, std::vector<std::string> clicks = {}) {
    return {TCommandRequest{verb, std::move(clicks)}, {}};
}

bool IsOption(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-';
}

bool IsRowZero(const std::string& click) {
    return click.size() > 1 && click[0] == '#' && click.find_first_not_of('0', 1) == std::string::npos;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// start, stop and toggle: click names and `#N`, `--` before names that look like options, and for stop `--all`.
TParsedArguments ParseClicks(TCommandVerb verb, const std::string& word, std::vector<std::string>::const_iterator arg,
                             std::vector<std::string>::const_iterator end) {
    std::vector<std::string> clicks;
    bool all = false;
    bool optionsEnded = false;
    for (; arg != end; ++arg) {
        if (!optionsEnded && *arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && verb == TCommandVerb::Stop && *arg == "--all") {
            all = true;
        } else if (!optionsEnded && IsOption(*arg)) {
            return Refused(Quoted(*arg) + " is not an option of " + Quoted(word) + ".");
        } else if (IsRowZero(*arg)) {
            return Refused("Rows are counted from 1, so " + *arg + " names no row.");
        } else {
            clicks.push_back(*arg);
        }
    }
    if (all) {
        return clicks.empty() ? Parsed(TCommandVerb::StopAll)
                              : Refused("\"stop --all\" stops every click and takes no click names.");
    }
    if (clicks.empty()) {
        return Refused(Quoted(word) + " needs the name of at least one click, or #N for the N-th row" +
                       (verb == TCommandVerb::Stop ? ", or --all." : "."));
    }
    return Parsed(verb, std::move(clicks));
}

// find NAME, with --json before or after the name.
TParsedArguments ParseFind(std::vector<std::string>::const_iterator arg, std::vector<std::string>::const_iterator end) {
    std::vector<std::string> clicks;
    bool json = false;
    bool optionsEnded = false;
    for (; arg != end; ++arg) {
        if (!optionsEnded && *arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && *arg == "--json") {
            json = true;
        } else if (!optionsEnded && IsOption(*arg)) {
            return Refused(Quoted(*arg) + " is not an option of \"find\".");
        } else if (IsRowZero(*arg)) {
            return Refused("Rows are counted from 1, so " + *arg + " names no row.");
        } else {
            clicks.push_back(*arg);
        }
    }
    if (clicks.size() != 1) {
        return Refused("\"find\" needs the name of one click, or #N for the N-th row.");
    }
    return Parsed(json ? TCommandVerb::FindJson : TCommandVerb::Find, std::move(clicks));
}

// Control characters, the separator and the escape itself become \xHH, so the request stays one line.
void AppendEscaped(std::string& line, std::string_view arg) {
    static const char* const kHex = "0123456789ABCDEF";
    for (const char c : arg) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == kEscape) {
            line += {kEscape, 'x', kHex[byte >> 4], kHex[byte & 15]};
        } else {
            line += c;
        }
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The argument's text; nullopt for a broken escape.
std::optional<std::string> Unescaped(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != kEscape) {
            text += field[i];
            continue;
        }
        if (field.size() - i < 4 || field[i + 1] != 'x') {
            return std::nullopt;
        }
        const int high = HexValue(field[i + 2]);
        const int low = HexValue(field[i + 3]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        text += static_cast<char>(high * 16 + low);
        i += 3;
    }
    return text;
}

bool HasRawControlCharacter(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != kSeparator) || byte == 0x7F;
    });
}

// The arguments the line carries; nullopt when it is no request.
std::optional<std::vector<std::string>> ArgumentsOf(std::string_view line) {
    if (line.substr(0, kRequestMagic.size()) != kRequestMagic || HasRawControlCharacter(line)) {
        return std::nullopt;
    }
    line.remove_prefix(kRequestMagic.size());
    std::vector<std::string> args;
    while (!line.empty()) {
        if (line.front() != kSeparator) {
            return std::nullopt;
        }
        line.remove_prefix(1);
        const std::size_t fieldEnd = std::min(line.find(kSeparator), line.size());
        std::optional<std::string> arg = Unescaped(line.substr(0, fieldEnd));
        if (!arg || !IsValidUtf8(*arg)) {
            return std::nullopt;
        }
        args.push_back(std::move(*arg));
        line.remove_prefix(fieldEnd);
    }
    return args;
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || text.empty()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<std::size_t> RowReference(const std::string& click) {
    if (click.size() < 2 || click[0] != '#' ||
        !std::all_of(click.begin() + 1, click.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::size_t number = 0;
    const auto [end, error] = std::from_chars(click.data() + 1, click.data() + click.size(), number);
    const std::size_t noRow = std::numeric_limits<std::size_t>::max();
    return error == std::errc() && number > 0 ? number - 1 : noRow;
}

TParsedArguments ParseArguments(const std::vector<std::string>& args) {
    if (args.empty()) {
        return Refused("Give a command: start, stop, toggle, list, find, show or quit.");
    }
    const std::string& word = args.front();
    const bool noMore = args.size() == 1;
    if (word == "start" || word == "stop" || word == "toggle") {
        const TCommandVerb verb = word == "start"  ? TCommandVerb::Start
                                  : word == "stop" ? TCommandVerb::Stop
                                                   : TCommandVerb::Toggle;
        return ParseClicks(verb, word, args.begin() + 1, args.end());
    }
    if (word == "find") {
        return ParseFind(args.begin() + 1, args.end());
    }
    if (word == "list") {
        if (noMore || (args.size() == 2 && args[1] == "--json")) {
            return Parsed(noMore ? TCommandVerb::List : TCommandVerb::ListJson);
        }
        return Refused("\"list\" takes nothing but --json.");
    }
    if (word == "show" || word == "quit") {
        return noMore ? Parsed(word == "show" ? TCommandVerb::Show : TCommandVerb::Quit)
                      : Refused(Quoted(word) + " takes no arguments.");
    }
    return Refused(Quoted(word) +
                   " is not a command; the commands are start, stop, toggle, list, find, show and quit.");
}

std::string EncodeRequest(const TCommandRequest& request) {
    std::vector<std::string> args;
    switch (request.verb) {
    case TCommandVerb::Start:
        args = {"start", "--"};
        break;
    case TCommandVerb::Stop:
        args = {"stop", "--"};
        break;
    case TCommandVerb::Toggle:
        args = {"toggle", "--"};
        break;
    case TCommandVerb::StopAll:
        args = {"stop", "--all"};
        break;
    case TCommandVerb::List:
        args = {"list"};
        break;
    case TCommandVerb::ListJson:
        args = {"list", "--json"};
        break;
    case TCommandVerb::Show:
        args = {"show"};
        break;
    case TCommandVerb::Quit:
        args = {"quit"};
        break;
    case TCommandVerb::Find:
        args = {"find", "--"};
        break;
    case TCommandVerb::FindJson:
        args = {"find", "--json", "--"};
        break;
    }
    args.insert(args.end(), request.clicks.begin(), request.clicks.end());
    std::string line(kRequestMagic);
    for (const std::string& arg : args) {
        line += kSeparator;
        AppendEscaped(line, arg);
    }
    return line + kLineEnd;
}

TRequestReader::TState TRequestReader::Feed(std::string_view bytes) {
    if (m_state != TState::NeedMore) {
        return m_state;
    }
    const std::size_t lineEnd = bytes.find(kLineEnd);
    const std::size_t taken = std::min(lineEnd, bytes.size());
    if (m_line.size() + taken > kMaxRequestBytes) {
        return Refuse("The request is longer than " + std::to_string(kMaxRequestBytes / 1024) + " KiB.");
    }
    m_line.append(bytes.substr(0, taken));
    if (kRequestMagic.substr(0, std::min(m_line.size(), kRequestMagic.size())) !=
        std::string_view(m_line).substr(0, kRequestMagic.size())) {
        return Refuse("This is no Tappora request.");
    }
    return lineEnd == std::string_view::npos ? m_state : Finish();
}

TRequestReader::TState TRequestReader::EndOfInput() {
    return m_state == TState::NeedMore ? Refuse("The request ended before its line did.") : m_state;
}

void TRequestReader::Reset() {
    // A short request's buffer is kept for the next one; a long one's is given back.
    constexpr std::size_t kKeptCapacity = 4096;
    if (m_line.capacity() > kKeptCapacity) {
        std::string().swap(m_line);
    }
    m_line.clear();
    m_request = {};
    m_refusal = {};
    m_state = TState::NeedMore;
}

TRequestReader::TState TRequestReader::Refuse(std::string why) {
    m_refusal = BadUsage(std::move(why));
    m_state = TState::Refused;
    return m_state;
}

TRequestReader::TState TRequestReader::Finish() {
    const std::optional<std::vector<std::string>> args = ArgumentsOf(m_line);
    if (!args) {
        return Refuse("The request is not well-formed UTF-8 text in the Tappora format.");
    }
    TParsedArguments parsed = ParseArguments(*args);
    if (!parsed.request) {
        m_refusal = std::move(parsed.badUsage);
        m_state = TState::Refused;
        return m_state;
    }
    m_request = std::move(*parsed.request);
    m_state = TState::Complete;
    return m_state;
}

std::string EncodeAnswer(const TCommandAnswer& answer) {
    std::string text;
    for (const std::string& line : answer.lines) {
        text += PrintableText(line) + kLineEnd;
    }
    return std::string(kAnswerMagic) + std::to_string(answer.exitCode) + ' ' + std::to_string(text.size()) + kLineEnd +
           text;
}

std::optional<TCommandAnswer> DecodeAnswer(std::string_view bytes) {
    const std::size_t headerEnd = bytes.find(kLineEnd);
    if (bytes.substr(0, kAnswerMagic.size()) != kAnswerMagic || headerEnd == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view header = bytes.substr(kAnswerMagic.size(), headerEnd - kAnswerMagic.size());
    const std::size_t space = header.find(' ');
    const std::optional<int> exitCode = Number(header.substr(0, space));
    const std::optional<int> length = space == std::string_view::npos ? std::nullopt : Number(header.substr(space + 1));
    std::string_view text = bytes.substr(headerEnd + 1);
    if (!exitCode || !length || text.size() != static_cast<std::size_t>(*length) ||
        (!text.empty() && text.back() != kLineEnd)) {
        return std::nullopt;
    }
    TCommandAnswer answer{*exitCode, {}};
    while (!text.empty()) {
        const std::size_t lineEnd = text.find(kLineEnd);
        answer.lines.emplace_back(text.substr(0, lineEnd));
        text.remove_prefix(lineEnd + 1);
    }
    return answer;
}
