// The user's settings: reading and writing the numbered keys of qb_config and their typed fields.
#include "storage/Config.h"

#include "storage/DbMain.h"
#include "storage/SqlText.h"

namespace {

QString SelectValueSql(int key) {
    return QStringLiteral("SELECT cfg_value FROM qb_config WHERE cfg_key = ") + QString::number(key);
}

// Decimal text as a number; text that is not a number gives 0.
int ToNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

quint8 ToByte(const QString& text) {
    return static_cast<quint8>(ToNumber(text) & 0xFF);
}

quint16 ToWord(const QString& text) {
    return static_cast<quint16>(ToNumber(text) & 0xFFFF);
}

// Only the exact text "1" is on ("01" and "true" are off).
bool ToFlag(const QString& text) {
    return text == QLatin1String("1");
}

} // namespace

TConfig::TConfig(TDb& db) : m_db(db) {}

QString TConfig::GetValue(int key) const {
    auto table = m_db.Query(SelectValueSql(key));
    if (!table || table->RowCount() == 0)
        return QString();
    try {
        return TrimText(table->FieldAsText(QStringLiteral("cfg_value")));
    } catch (const ESQLiteException&) {
        return QString();
    }
}

bool TConfig::SetValue(int key, const QString& text) {
    auto table = m_db.Query(SelectValueSql(key));
    if (!table)
        return false;
    const QString number = QString::number(key);
    const QString sql = table->RowCount() > 0
                            ? QStringLiteral("UPDATE qb_config SET cfg_value = ") + SqlQuote(text) +
                                  QStringLiteral(" WHERE cfg_key = ") + number
                            : QStringLiteral("INSERT INTO qb_config (cfg_key, cfg_value) VALUES (") + number +
                                  QStringLiteral(", ") + SqlQuote(text) + QStringLiteral(")");
    m_db.FreeTable(table);
    return m_db.Execute(sql);
}

void TConfig::LoadConfig() {
    SkinIndex = ToNumber(GetValue(1));
    StartMode = ToByte(GetValue(2));
    HomePage = GetValue(3);
    FilterPopups = ToFlag(GetValue(4));
    BossKeyEnabled = ToFlag(GetValue(5));
    BossKey = ToWord(GetValue(6));
    DownloadFolderMode = ToByte(GetValue(7));
    DownloadFolder = GetValue(8);
    LastDownloadFolder = GetValue(12);
    PlayFinishedSound = ToFlag(GetValue(9));
    ConfirmDeleteDownload = ToFlag(GetValue(10));
    DisableShortcuts = ToFlag(GetValue(11));
    MakeDefaultBrowser = ToFlag(GetValue(13));
    ClearTracesOnExit = ToFlag(GetValue(14));
}
