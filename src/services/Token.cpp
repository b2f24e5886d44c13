// The process-wide token holder.
#include "services/Token.h"

namespace {
std::unique_ptr<TToken>& Holder() {
    static std::unique_ptr<TToken> holder;
    return holder;
}
} // namespace

const TToken* CurrentToken() {
    return Holder().get();
}

void SetCurrentToken(std::unique_ptr<TToken> token) {
    Holder() = std::move(token);
}
