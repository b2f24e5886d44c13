// The site badge of a finished download row: the delegate asks the lookup it was given for the
// row's address and draws the certified and the flagged badge differently; no lookup, no badge.
#include "downloads/DownloadListModel.h"
#include "downloads/DownloadRowDelegate.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>
#include <QtTest>

class TestDownloadRowDelegate : public QObject {
    Q_OBJECT

    // The row of a finished download painted by a delegate with badges.
    static QImage PaintedRow(const TSiteBadgeLookup& badges) {
        TDownloadInfo info;
        info.Url = QStringLiteral("http://127.0.0.1/setup.exe");
        info.FileName = QStringLiteral("/tmp/setup.exe");
        info.State = dsFinished;
        info.Position = info.TotalSize = 2048;
        QStandardItemModel model(1, 1);
        model.setData(model.index(0, 0), QVariant::fromValue(info), TDownloadListModel::InfoRole);
        QImage image(480, TDownloadRowDelegate::RowHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.rect = image.rect();
        option.palette = QApplication::palette();
        TDownloadRowDelegate(badges).paint(&painter, option, model.index(0, 0));
        return image;
    }

private slots:
    void badgeFollowsTheLookup() {
        QStringList asked;
        const auto answer = [&asked](TSiteBadge badge) -> TSiteBadgeLookup {
            return [&asked, badge](const QString& url) {
                asked << url;
                return badge;
            };
        };
        const QImage none = PaintedRow(nullptr);
        QCOMPARE(PaintedRow(answer(TSiteBadge::None)), none);
        const QImage certified = PaintedRow(answer(TSiteBadge::Certified));
        const QImage flagged = PaintedRow(answer(TSiteBadge::Flagged));
        QVERIFY(certified != none);
        QVERIFY(flagged != none);
        QVERIFY(flagged != certified);
        const QString url = QStringLiteral("http://127.0.0.1/setup.exe");
        QCOMPARE(asked, (QStringList{url, url, url}));
    }
};

QTEST_MAIN(TestDownloadRowDelegate)
#include "tst_DownloadRowDelegate.moc"
