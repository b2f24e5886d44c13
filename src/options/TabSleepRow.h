// The options page row "标签页休眠": how long a background tab stays loaded out of sight (off, 10,
// 30 or 60 minutes), stored under TConfigKey::TabSleepMinutes as it is chosen.
#pragma once

#include <QWidget>

class QComboBox;
class TConfig;

class TTabSleepRow final : public QWidget {
    Q_OBJECT
public:
    TTabSleepRow(TConfig& config, QWidget* parent = nullptr);

    // Shows the stored choice (a stored value that is not a choice shows as the nearest above it).
    void ShowStored();

private:
    TConfig& m_config;
    QComboBox* m_choice;
};
