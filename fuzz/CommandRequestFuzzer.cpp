// The command reader of the running copy: bytes from any client, in pieces of any size, always end in a request that
// travels unchanged or in a refusal fit to print, within the size limit.
#include "FuzzSupport.h"

#include "control/CommandRequest.h"
#include "control/OutputText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using TState = TRequestReader::TState;

// The first byte sets the size of the pieces the rest arrives in.
TState ReadInPieces(TRequestReader& reader, std::string_view bytes, std::size_t piece) {
    TState state = TState::NeedMore;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        state = reader.Feed(bytes.substr(at, piece));
        FuzzCheck(reader.HeldBytes() <= 2 * TRequestReader::kMaxRequestBytes, "the reader holds at most the limit");
    }
    return state == TState::NeedMore ? reader.EndOfInput() : state;
}

void CheckRequestTravels(const TCommandRequest& request) {
    TRequestReader again;
    FuzzCheck(again.Feed(EncodeRequest(request)) == TState::Complete, "a request read is read again when sent");
    FuzzCheck(again.Request() == request, "a request read travels unchanged");
}

void CheckRefusal(const TCommandAnswer& refusal) {
    FuzzCheck(refusal.exitCode == TExitCode::kBadUsage && refusal.lines.size() == 1, "a refusal is one sentence");
    FuzzCheck(PrintableText(refusal.lines[0]) == refusal.lines[0], "a refusal is fit to print");
    FuzzCheck(DecodeAnswer(EncodeAnswer(refusal)) == refusal, "a refusal travels unchanged");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t piece = std::max<std::size_t>(data[0] % 16, 1);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    TRequestReader reader;
    const TState state = ReadInPieces(reader, bytes, piece);
    TRequestReader whole;
    FuzzCheck((whole.Feed(bytes) == TState::NeedMore ? whole.EndOfInput() : whole.State()) == state,
              "the pieces the bytes arrive in change nothing");
    if (state == TState::Complete) {
        CheckRequestTravels(reader.Request());
    } else {
        CheckRefusal(reader.Refusal());
    }
    return 0;
}
