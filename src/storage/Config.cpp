// The user's settings: reading and writing the numbered keys of qb_config and their typed fields.
#include "storage/Config.h"

#include "storage/DbMain.h"
#include "storage/SqlText.h"

namespace {

QString KeyText(TConfigKey key) {
    return QString::number(static_cast<int>(key));
}

QString SelectValueSql(TConfigKey key) {
    return QStringLiteral("SELECT cfg_value FROM qb_config WHERE cfg_key = ") + KeyText(key);
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

QString TConfig::GetValue(TConfigKey key) const {
    auto table = m_db.Query(SelectValueSql(key));
    if (!table || table->RowCount() == 0)
        return QString();
    try {
        return TrimText(table->FieldAsText(QStringLiteral("cfg_value")));
    } catch (const ESQLiteException&) {
        return QString();
    }
}

bool TConfig::SetValue(TConfigKey key, const QString& text) {
    auto table = m_db.Query(SelectValueSql(key));
    if (!table)
        return false;
    const QString number = KeyText(key);
    const QString sql = table->RowCount() > 0
                            ? QStringLiteral("UPDATE qb_config SET cfg_value = ") + SqlQuote(text) +
                                  QStringLiteral(" WHERE cfg_key = ") + number
                            : QStringLiteral("INSERT INTO qb_config (cfg_key, cfg_value) VALUES (") + number +
                                  QStringLiteral(", ") + SqlQuote(text) + QStringLiteral(")");
    m_db.FreeTable(table);
    return m_db.Execute(sql);
}

void TConfig::LoadConfig() {
    SkinIndex = ToNumber(GetValue(TConfigKey::Skin));
    StartMode = ToByte(GetValue(TConfigKey::StartMode));
    HomePage = GetValue(TConfigKey::HomePage);
    FilterPopups = ToFlag(GetValue(TConfigKey::FilterPopups));
    BossKeyEnabled = ToFlag(GetValue(TConfigKey::BossKeyEnabled));
    BossKey = ToWord(GetValue(TConfigKey::BossKey));
    DownloadFolderMode = ToByte(GetValue(TConfigKey::DownloadFolderMode));
    DownloadFolder = GetValue(TConfigKey::DownloadFolder);
    LastDownloadFolder = GetValue(TConfigKey::LastDownloadFolder);
    PlayFinishedSound = ToFlag(GetValue(TConfigKey::PlayFinishedSound));
    ConfirmDeleteDownload = ToFlag(GetValue(TConfigKey::ConfirmDeleteDownload));
    DisableShortcuts = ToFlag(GetValue(TConfigKey::DisableShortcuts));
    MakeDefaultBrowser = ToFlag(GetValue(TConfigKey::MakeDefaultBrowser));
    ClearTracesOnExit = ToFlag(GetValue(TConfigKey::ClearTracesOnExit));
}
