// One parameter of a web API request and the ordered list the caller hands to a call.
#pragma once

#include <QList>
#include <QString>

struct TParam {
    QString Name;  // sent unchanged
    QString Value; // sent form-encoded from UTF-8
};

// Order is the order of the pairs in the request body.
using TParamList = QList<TParam>;
