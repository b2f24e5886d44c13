// The About box: the logo, the product name, its version, the vendor's site as a link and the
// maker's name.
#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    // siteRoot: the address the link shows and opens.
    TFormAbout(const QPixmap& logo, const QString& siteRoot, QWidget* parent = nullptr);

signals:
    // The link was clicked: the owner opens the address in a new tab; the box then closes.
    void siteRequested(const QString& url);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void bsSkinLinkLabelClick();

    QString m_siteRoot;
    QLabel* ImageLogo = nullptr;
    QLabel* bsSkinLabelTitle = nullptr;
    QLabel* bsSkinLabelVersion = nullptr;
    QLabel* bsSkinLinkLabel = nullptr;
    QLabel* LabelCompany = nullptr;
    QLabel* LabelDataFolder = nullptr;
};
