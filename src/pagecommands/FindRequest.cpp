// The find request record.
#include "pagecommands/FindRequest.h"

TFindRequest TFindRequest::Make(const QString& text, bool matchCase, bool forward) {
    TFindRequest request;
    request.Text = text.left(MaxText);
    request.MatchCase = matchCase;
    request.Forward = forward;
    return request;
}

TFindRequest TFindRequest::Repeated(bool forward) const {
    TFindRequest request = *this;
    request.Forward = forward;
    return request;
}
