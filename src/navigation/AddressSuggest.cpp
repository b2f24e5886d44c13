// Key rules and wrap-around of the address bar's suggestion list.
#include "navigation/AddressSuggest.h"

#include "common/VirtualKey.h"

#include <algorithm>

TAddressKeyAction AddressKeyAction(int virtualKey, bool ctrl, bool shift, bool alt) {
    switch (virtualKey) {
    case VK_F4:
        return TAddressKeyAction::FillSuggestions;
    case VK_RETURN:
        return (ctrl && !shift && !alt) ? TAddressKeyAction::OpenInNewTab : TAddressKeyAction::Open;
    case VK_ESCAPE:
        return TAddressKeyAction::Revert;
    case VK_UP:
        return TAddressKeyAction::SelectPrevious;
    case VK_DOWN:
        return TAddressKeyAction::SelectNext;
    default:
        break;
    }
    if (virtualKey >= 32 && virtualKey <= 126 && !ctrl && !shift && !alt)
        return TAddressKeyAction::FillSuggestions;
    return TAddressKeyAction::None;
}

int PreviousSuggestion(int selected, int count) {
    if (count <= 0)
        return -1;
    return selected < 1 ? count - 1 : std::min(selected, count) - 1;
}

int NextSuggestion(int selected, int count) {
    if (count <= 0)
        return -1;
    return selected < count - 1 ? std::max(selected, -1) + 1 : 0;
}

bool IsSecureAddress(const QString& address) {
    return address.left(8).compare(QLatin1String("https://"), Qt::CaseInsensitive) == 0;
}
