// The access token that authenticates web API calls, and the process-wide current holder.
#pragma once

#include <QString>
#include <memory>

class TToken {
public:
    QString AccessToken;
};

// The signed-in user's token holder, or nullptr (the program has no sign-in, so it stays empty
// unless a holder is supplied).
const TToken* CurrentToken();
// Replaces the current holder; the previous one is released. nullptr signs out.
void SetCurrentToken(std::unique_ptr<TToken> token);
