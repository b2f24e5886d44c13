// Tests of the JSON reader and writer: the tolerated comma before "]", text that is not JSON,
// compact writing and the member helpers.
#include "common/Json.h"

#include <QtTest>

class TestJson : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void rejectsNonJson_data();
    void rejectsNonJson();
    void defaultFavoritesText();
    void writeCompact();
    void memberHelpers();
};

void TestJson::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("compact");
    QTest::newRow("trailing comma") << "[1,2,]"
                                    << "[1,2]";
    QTest::newRow("trailing comma and blanks") << "[ 1 ,\n 2 ,\r\n\t]"
                                               << "[1,2]";
    QTest::newRow("nested") << "{\"a\":[{\"b\":[1,]},],\"c\":{\"d\":[]}}"
                            << "{\"a\":[{\"b\":[1]}],\"c\":{\"d\":[]}}";
    QTest::newRow("comma and bracket inside a string") << "[\"a,]\",]"
                                                       << "[\"a,]\"]";
    QTest::newRow("escaped quote inside a string") << "[\"x\\\",]\",]"
                                                   << "[\"x\\\",]\"]";
    QTest::newRow("escaped backslash ends the string") << "[\"x\\\\\",]"
                                                       << "[\"x\\\\\"]";
    QTest::newRow("lone text") << "\"文字\""
                               << "\"文字\"";
    QTest::newRow("lone number") << " 42 "
                                 << "42";
}

void TestJson::parse() {
    QFETCH(QString, text);
    QFETCH(QString, compact);
    const std::optional<QJsonValue> value = ParseJson(text);
    QVERIFY(value.has_value());
    QCOMPARE(WriteJson(*value), compact);
}

void TestJson::rejectsNonJson_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("blanks") << "  ";
    QTest::newRow("word") << "hello";
    QTest::newRow("unclosed") << "{\"a\":1";
    QTest::newRow("comma before brace") << "{\"a\":1,}";
    QTest::newRow("two commas") << "[1,,]";
    QTest::newRow("only a comma") << "[,]";
    QTest::newRow("two values") << "1,2";
    QTest::newRow("two arrays") << "[1],[2]";
    QTest::newRow("html page") << "<html><body>404</body></html>";
}

void TestJson::rejectsNonJson() {
    QFETCH(QString, text);
    QVERIFY(!ParseJson(text).has_value());
}

void TestJson::defaultFavoritesText() {
    // The shape of the built-in favorites list: objects and a comma before the closing bracket.
    const QString text =
        QStringLiteral("[{\"fav_name\":\"网址导航\",\"fav_url\":\"http://a.example/123.html\"},\n"
                       "{\"fav_name\":\"系统下载\",\"fav_url\":\"http://b.example/\"},]");
    const std::optional<QJsonValue> value = ParseJson(text);
    QVERIFY(value && value->isArray());
    const QJsonArray favorites = value->toArray();
    QCOMPARE(favorites.size(), 2);
    QCOMPARE(JsonText(favorites.at(0).toObject(), "fav_name"), QStringLiteral("网址导航"));
    QCOMPARE(JsonText(favorites.at(1).toObject(), "fav_url"), QStringLiteral("http://b.example/"));
}

void TestJson::writeCompact() {
    QJsonObject object;
    object.insert("name", QStringLiteral("今日特卖"));
    object.insert("list", QJsonArray{1, "two", true});
    const QString text = WriteJson(object);
    QCOMPARE(text, QStringLiteral("{\"list\":[1,\"two\",true],\"name\":\"今日特卖\"}"));
    QCOMPARE(ParseJson(text)->toObject(), object);
    QCOMPARE(WriteJson(QJsonValue("a\"b")), QStringLiteral("\"a\\\"b\""));
    QCOMPARE(WriteJson(QJsonValue()), QStringLiteral("null"));
}

void TestJson::memberHelpers() {
    const QJsonObject object = ParseJson("{\"text\":\"t\",\"int\":12345678901,\"real\":1.5,\"flag\":true,"
                                         "\"list\":[1],\"obj\":{\"k\":\"v\"},\"nil\":null}")
                                   ->toObject();
    QCOMPARE(JsonText(object, "text"), QStringLiteral("t"));
    QCOMPARE(JsonText(object, "int"), QStringLiteral("12345678901"));
    QCOMPARE(JsonText(object, "real"), QStringLiteral("1.5"));
    QCOMPARE(JsonText(object, "flag"), QStringLiteral("true"));
    QCOMPARE(JsonText(object, "missing"), QString());
    QCOMPARE(JsonText(object, "nil"), QString());
    QCOMPARE(JsonText(object, "list"), QString());
}

QTEST_APPLESS_MAIN(TestJson)
#include "tst_Json.moc"
