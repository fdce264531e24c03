#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A command given to `tappora` from outside (a shell, a script, a compositor's key) and answered by the copy that is
// already running. The command sends its request as one line of text and gets back an exit code and text lines.

enum class TCommandVerb { Start, Stop, Toggle, StopAll, List, ListJson, Show, Quit, Find, FindJson };

struct TCommandRequest {
    TCommandVerb verb = TCommandVerb::List;
    // Click names as the list shows them, or `#N` for the N-th row (from 1); for Start, Stop and Toggle, and the one
    // click of Find.
    std::vector<std::string> clicks;

    friend bool operator==(const TCommandRequest&, const TCommandRequest&) = default;
};

namespace TExitCode {
constexpr int kDone = 0;
constexpr int kClickNotInList = 1;
constexpr int kBadUsage = 2;
constexpr int kNoRunningCopy = 3;
// `find`: the click's search found nothing, or could not search.
constexpr int kNotFound = 4;
} // namespace TExitCode

struct TCommandAnswer {
    int exitCode = TExitCode::kDone;
    // Lines to print, without line ends; none contains a control character.
    std::vector<std::string> lines;

    friend bool operator==(const TCommandAnswer&, const TCommandAnswer&) = default;
};

// Either a request or, for bad usage, the answer to print instead (exit code 2 and one sentence saying why).
struct TParsedArguments {
    std::optional<TCommandRequest> request;
    TCommandAnswer badUsage;
};

// Reads the command's arguments, without the program's name: `start NAME...`, `stop NAME...`, `toggle NAME...`,
// `stop --all`, `list`, `list --json`, `show`, `quit`, `find NAME`, `find --json NAME`. `--` ends the options, so a
// click named like one can still be named. `#N` names the N-th row; `#0` is bad usage.
TParsedArguments ParseArguments(const std::vector<std::string>& args);

// The request as one line of UTF-8 ending in a line feed; any argument text round-trips through TRequestReader.
std::string EncodeRequest(const TCommandRequest& request);

// `#N` as a row from 0; nullopt when `click` is a name. `#0` and numbers too large for any list give a row past the
// end of every list.
std::optional<std::size_t> RowReference(const std::string& click);

// Reads one request from bytes that arrive in pieces of any size, as from a non-blocking socket. Whatever comes
// in, it holds at most kMaxRequestBytes and ends in Complete or Refused; Refused carries the answer to send. Bytes
// after the request's line end are not read.
class TRequestReader {
public:
    static constexpr std::size_t kMaxRequestBytes = 64 * 1024;

    enum class TState { NeedMore, Complete, Refused };

    // Reads the next bytes; once Complete or Refused, further bytes change nothing until Reset.
    TState Feed(std::string_view bytes);
    // The connection ended: a request still unfinished is refused.
    TState EndOfInput();
    // Ready for the next request; what a long request needed is given back.
    void Reset();

    TState State() const { return m_state; }
    // After Complete.
    const TCommandRequest& Request() const { return m_request; }
    // After Refused: exit code 2 and why.
    const TCommandAnswer& Refusal() const { return m_refusal; }
    // Memory held for the request being read.
    std::size_t HeldBytes() const { return m_line.capacity(); }

private:
    TState Refuse(std::string why);
    TState Finish();

    TState m_state = TState::NeedMore;
    std::string m_line;
    TCommandRequest m_request;
    TCommandAnswer m_refusal;
};

// The answer as bytes: a header line with the exit code and the length of the text, then the lines.
std::string EncodeAnswer(const TCommandAnswer& answer);
// The answer that `bytes` hold exactly; nullopt while they are incomplete, or when they are no answer at all.
std::optional<TCommandAnswer> DecodeAnswer(std::string_view bytes);
