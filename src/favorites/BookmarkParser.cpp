// The bookmark file parser: libxml2's HTML parser in push mode with SAX callbacks that collect
// the links; no tree, no script, no network.
#include "favorites/BookmarkParser.h"

#include "common/AnsiCodec.h"

#include <QTextCodec>
#include <QThread>
#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <memory>

namespace {

// The file is fed to the parser in pieces of about this many bytes.
constexpr int kPieceSize = 64 * 1024;

// Recover from any markup, report nothing, never touch the network, and take the bytes as the
// UTF-8 they are decoded to here, whatever a <meta charset> in the file claims.
constexpr int kParseOptions =
    HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC;

struct TParseState {
    TBookmarkDocument Document;
    QVector<int> OpenLinks; // indices into Document.Links of the links not closed yet
    // The folder of each open "dl" (empty for a list no <h3> names), outermost first.
    QStringList OpenLists;
    // The text of the last <h3>, which names the "dl" right after it.
    QString FolderName;
    bool InFolderName = false;
};

TParseState& State(void* context) {
    return *static_cast<TParseState*>(context);
}

bool IsName(const xmlChar* name, const char* expected) {
    return xmlStrcasecmp(name, reinterpret_cast<const xmlChar*>(expected)) == 0;
}

QString Utf8(const xmlChar* text, int length = -1) {
    return QString::fromUtf8(reinterpret_cast<const char*>(text), length);
}

// Text belongs to every link it stands in.
void AppendText(TParseState& state, const QString& text) {
    for (const int index : state.OpenLinks)
        state.Document.Links[index].Name += text;
}

TBookmarkLink LinkOf(const xmlChar** attributes) {
    TBookmarkLink link;
    bool hasUrl = false;
    for (const xmlChar** attribute = attributes; attribute && attribute[0]; attribute += 2) {
        const QString value = attribute[1] ? Utf8(attribute[1]) : QString();
        // An attribute given twice counts once, as its first spelling, as in every browser.
        if (!hasUrl && IsName(attribute[0], "href")) {
            link.Url = value;
            hasUrl = true;
        } else if (!link.HasFavPos && IsName(attribute[0], "fav_pos")) {
            link.FavPos = value;
            link.HasFavPos = true;
        }
    }
    return link;
}

QStringList FoldersOf(const TParseState& state) {
    QStringList folders;
    for (const QString& folder : state.OpenLists) {
        if (!folder.isEmpty())
            folders.append(folder);
    }
    return folders;
}

void StartElement(void* context, const xmlChar* name, const xmlChar** attributes) {
    TParseState& state = State(context);
    if (IsName(name, "a")) {
        state.OpenLinks.append(state.Document.Links.size());
        TBookmarkLink link = LinkOf(attributes);
        link.Folders = FoldersOf(state);
        state.Document.Links.append(link);
        state.FolderName.clear();
    } else if (IsName(name, "br")) {
        AppendText(state, QStringLiteral("\n"));
    } else if (IsName(name, "dl")) {
        state.Document.HasList = true;
        state.OpenLists.append(state.FolderName.simplified());
        state.FolderName.clear();
    } else if (IsName(name, "h3")) {
        state.FolderName.clear();
        state.InFolderName = true;
    } else if (IsName(name, "dt")) {
        // A folder name with no list after it names nothing.
        state.FolderName.clear();
    }
}

void EndElement(void* context, const xmlChar* name) {
    TParseState& state = State(context);
    if (IsName(name, "a") && !state.OpenLinks.isEmpty())
        state.OpenLinks.removeLast();
    else if (IsName(name, "dl") && !state.OpenLists.isEmpty())
        state.OpenLists.removeLast();
    else if (IsName(name, "h3"))
        state.InFolderName = false;
}

void Characters(void* context, const xmlChar* text, int length) {
    TParseState& state = State(context);
    if (!state.OpenLinks.isEmpty())
        AppendText(state, Utf8(text, length));
    else if (state.InFolderName)
        state.FolderName += Utf8(text, length);
}

// Script and style content is not text of a link.
void IgnoreRawText(void*, const xmlChar*, int) {}

// A piece ends after a byte that cannot be part of a multi-byte GB18030 character (those use
// 0x30-0x39, 0x40-0x7E and 0x80-0xFE after their first byte), so every piece decodes on its own
// exactly as the whole file would.
bool EndsCharacter(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x30 || (value > 0x39 && value < 0x40);
}

int PieceEnd(const QByteArray& bytes, int offset) {
    const int limit = offset + kPieceSize;
    if (limit >= bytes.size())
        return bytes.size();
    for (int end = limit; end > offset; --end) {
        if (EndsCharacter(bytes.at(end - 1)))
            return end;
    }
    for (int end = limit; end < bytes.size(); ++end) {
        if (EndsCharacter(bytes.at(end)))
            return end + 1;
    }
    return bytes.size();
}

void InitParserOnce() {
    static const bool ready = [] {
        xmlInitParser();
        return true;
    }();
    Q_UNUSED(ready);
}

using TParser = std::unique_ptr<htmlParserCtxt, void (*)(htmlParserCtxtPtr)>;

} // namespace

TBookmarkDocument ParseBookmarkHtml(const QByteArray& bytes, TBookmarkText text) {
    InitParserOnce();
    TParseState state;
    htmlSAXHandler handler{};
    handler.startElement = StartElement;
    handler.endElement = EndElement;
    handler.characters = Characters;
    handler.ignorableWhitespace = Characters;
    handler.cdataBlock = IgnoreRawText;
    TParser parser(htmlCreatePushParserCtxt(&handler, &state, nullptr, 0, nullptr, XML_CHAR_ENCODING_UTF8),
                   htmlFreeParserCtxt);
    if (!parser)
        return {};
    htmlCtxtUseOptions(parser.get(), kParseOptions);
    // A UTF-8 byte order mark is not text of the file.
    const int start = text == TBookmarkText::Utf8 && bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (int offset = start; offset < bytes.size();) {
        if (QThread::currentThread()->isInterruptionRequested())
            break;
        const int end = PieceEnd(bytes, offset);
        const QByteArray piece = text == TBookmarkText::Utf8
                                     ? bytes.mid(offset, end - offset)
                                     : FromAnsi(bytes.constData() + offset, end - offset).toUtf8();
        htmlParseChunk(parser.get(), piece.constData(), piece.size(), 0);
        offset = end;
    }
    htmlParseChunk(parser.get(), nullptr, 0, 1);
    return state.Document;
}

TBookmarkText GuessBookmarkText(const QByteArray& bytes) {
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0 ? TBookmarkText::Utf8 : TBookmarkText::Ansi;
}

namespace {

bool IsBlank(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f' || byte == '\v';
}

// Where "</name" followed by optional blanks and ">" starts at or after from; -1 when nowhere.
int IndexOfEndTag(const QByteArray& lower, const QByteArray& name, int from) {
    const QByteArray opening = "</" + name;
    for (int at = lower.indexOf(opening, from); at >= 0; at = lower.indexOf(opening, at + 1)) {
        int next = at + opening.size();
        while (next < lower.size() && IsBlank(lower.at(next)))
            ++next;
        if (next < lower.size() && lower.at(next) == '>')
            return at;
    }
    return -1;
}

// Where the last "<a" that opens a link (not <abbr>, <address>, <area>, <aside>, <audio>)
// starts; -1 when there is none.
int LastLinkStart(const QByteArray& lower) {
    for (int at = lower.lastIndexOf("<a"); at >= 0; at = at > 0 ? lower.lastIndexOf("<a", at - 1) : -1) {
        const int next = at + 2;
        if (next == lower.size() || IsBlank(lower.at(next)) || lower.at(next) == '>' || lower.at(next) == '/')
            return at;
    }
    return -1;
}

} // namespace

bool BookmarkBytesLookWhole(const QByteArray& bytes) {
    if (bytes.trimmed().isEmpty() || bytes.contains('\0'))
        return false;
    const QByteArray lower = bytes.toLower();
    const int lastLink = LastLinkStart(lower);
    if (lastLink < 0)
        return true;
    const int linkEnd = IndexOfEndTag(lower, "a", lastLink);
    return linkEnd >= 0 && IndexOfEndTag(lower, "dl", linkEnd) >= 0;
}
