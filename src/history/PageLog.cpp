// The page log over qb_page_log.
#include "history/PageLog.h"

#include "common/Logging.h"
#include "history/StoredText.h"
#include "storage/DbMain.h"
#include "storage/SqlText.h"

namespace {

// The batch runs one statement per line, so an address must not break its line. Addresses
// never hold line breaks or tabs (URL parsers drop them), so they are dropped here as well.
QString OneLine(QString url) {
    url.remove(QLatin1Char('\r'));
    url.remove(QLatin1Char('\n'));
    url.remove(QLatin1Char('\t'));
    return url;
}

QString InsertScript(const TPageInfoList& pages) {
    QString script;
    for (const TPageInfo& page : pages) {
        script += QStringLiteral("INSERT INTO qb_page_log (url) VALUES (") + SqlQuote(OneLine(TStoredText::Address(page.Url))) +
                  QStringLiteral(");\r\n");
    }
    return script;
}

} // namespace

TPageLog::TPageLog(TDb& db) : m_db(db) {}

bool TPageLog::SavePageLog(const TPageInfoList& pages) {
    if (pages.isEmpty())
        return false;
    return m_db.ExecuteScript(InsertScript(pages));
}

bool TPageLog::ReplacePageLog(const TPageInfoList& pages) {
    return m_db.ExecuteScript(QStringLiteral("DELETE FROM qb_page_log;\r\n") + InsertScript(pages));
}

bool TPageLog::ClearPageLog() {
    return m_db.Execute(QStringLiteral("DELETE FROM qb_page_log"));
}

TPageInfoList TPageLog::LoadPageLog() {
    TPageInfoList list;
    auto table = m_db.Query(QStringLiteral("SELECT url FROM qb_page_log"));
    if (!table || table->RowCount() == 0)
        return list;
    try {
        const int url = table->ColumnIndex(QStringLiteral("url"));
        for (; !table->AtEnd(); table->MoveNext())
            list.append(TPageInfo{table->GetText(url)});
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("PageLog: ") + e.Message());
        list.clear();
    }
    return list;
}

int TPageLog::CountPageLog() {
    auto table = m_db.Query(QStringLiteral("SELECT COUNT(id) c FROM qb_page_log"));
    if (!table || table->RowCount() == 0)
        return 0;
    try {
        return static_cast<int>(table->FieldAsInt64(QStringLiteral("c")));
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("PageLog: ") + e.Message());
        return 0;
    }
}
